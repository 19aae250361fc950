// Every text the user sees, in one place: window texts, questions, notices,
// titles, status and log lines. Windows-1252 once compiled.
#pragma once

// Window, banner and captions.
extern const char WINDOW_TITLE[];
extern const char BANNER_TEXT[];
extern const char SOURCE_LABEL_TEXT[];
extern const char TARGET_LABEL_TEXT[];
extern const char BROWSE_BUTTON_TEXT[];
extern const char ADD_BUTTON_TEXT[];
extern const char REMOVE_BUTTON_TEXT[];
extern const char EXIT_BUTTON_TEXT[];
extern const char SYNC_BUTTON_TEXT[];
extern const char CANCEL_BUTTON_TEXT[];
extern const char HELP_BUTTON_TEXT[];
extern const char CLEANUP_CHECKBOX_TEXT[];
extern const char NO_CURRENT_FILE_TEXT[];
extern const char EMPTY_STATUS_TEXT[];
extern const char SOURCE_PROMPT[];
extern const char TARGET_PROMPT[];
extern const char FILE_FILTER[]; // pairs of NUL-terminated texts, closed by a second NUL

// Titles of the message boxes.
extern const char TITLE_QUESTION[];
extern const char TITLE_NOTE[];
extern const char TITLE_ERROR[];
extern const char TITLE_LOADED[];
extern const char TITLE_SAVED[];
extern const char TITLE_HELP[];

// Questions and notes.
extern const char HELP_TEXT[];
extern const char START_QUESTION[];
extern const char CANCEL_QUESTION[];
extern const char CLOSE_DURING_RUN_QUESTION[];
extern const char CLOSE_QUESTION[];
extern const char EMPTY_SOURCE_QUESTION[]; // format: source folder, target folder
extern const char LOADED_NOTE[];
extern const char SAVED_NOTE[];
extern const char RUN_COMPLETED_NOTE[];
extern const char RUN_CANCELLED_NOTE[];
extern const char OVERLAP_WARNING[];
extern const char SKIPPED_PAIRS_NOTE[];        // followed by one line per case found:
extern const char *const SKIPPED_PAIR_CASES[]; // in the order of the pair states, the runnable one empty
extern const char LEFT_ALONE_NOTE[];           // format: number of entries, one of the two lines below
extern const char LEFT_ALONE_LOGGED[];
extern const char LEFT_ALONE_UNLOGGED[];
extern const char TARGET_CHANGED_NOTE[]; // format: target folder
extern const char SOURCE_CHANGED_NOTE[]; // format: source folder, target folder
extern const char UNCARRIABLE_FOLDER_NOTE[];
extern const char NESTED_PAIR_NOTE[];
extern const char LIST_FULL_NOTE[];
extern const char PIECES_DROPPED_NOTE[];
extern const char NO_VALID_ENTRY_NOTE[];
extern const char LIST_SET_ASIDE_NOTE[]; // format: the list file, the name it was set aside under
extern const char LIST_KEPT_NOTE[];      // format: the list file

// Error notices: "<message> '<path>'[<more> '<path>']", then the system's error.
extern const char ERROR_NOTICE_FORMAT[];
extern const char NO_SYSTEM_TEXT[];
extern const char DELETE_FAILED[];
extern const char LISTING_FAILED[];
extern const char COPY_FAILED[];
extern const char COPY_FAILED_TARGET[];
extern const char SAVE_FAILED[];
extern const char LOAD_FAILED[];
extern const char FILE_TOO_LARGE[];

// Display and run log.
extern const char COPIED_STATUS_LABEL[];
extern const char CLEANED_STATUS_LABEL[];
extern const char CURRENT_FILE_FORMAT[]; // format: name, size text
extern const char KILOBYTES_UNIT[];
extern const char MEGABYTES_UNIT[];
extern const char LOG_COPIED[];
extern const char LOG_SKIPPED[];
extern const char LOG_DELETED[];
extern const char LOG_LEFT_ALONE[];
extern const char LOG_CHANGED_WHILE_COPIED[];
extern const char LOG_TARGET_CHANGED[];
extern const char LOG_SOURCE_CHANGED[];
