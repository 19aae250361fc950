// The program's word list.
#include "texts.h"

const char WINDOW_TITLE[] = "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern";
const char BANNER_TEXT[] = "KR-Mirrorix V1.4b\n\nFreies Werkzeug zum Spiegeln von Ordnern";
const char SOURCE_LABEL_TEXT[] = "Quell-Pfad: ";
const char TARGET_LABEL_TEXT[] = "Ziel-Pfad: ";
const char BROWSE_BUTTON_TEXT[] = "...";
const char ADD_BUTTON_TEXT[] = "Sync-Auswahl Übernehmen";
const char REMOVE_BUTTON_TEXT[] = "Sync-Auswahl Löschen";
const char EXIT_BUTTON_TEXT[] = "Beenden";
const char SYNC_BUTTON_TEXT[] = "Synchronisieren";
const char CANCEL_BUTTON_TEXT[] = "Abbrechen";
const char HELP_BUTTON_TEXT[] = "Hilfe";
const char CLEANUP_CHECKBOX_TEXT[] = "Zielverzeichnisse bereinigen";
const char NO_CURRENT_FILE_TEXT[] = "aktuelle Datei: n/a";
const char EMPTY_STATUS_TEXT[] = " ";
const char SOURCE_PROMPT[] = "Bitte wählen Sie den QuellOrdner";
const char TARGET_PROMPT[] = "Bitte wählen Sie den ZielOrdner";
const char FILE_FILTER[] = "MirrorixPaths (*.MirrorixPath)\0*.MirrorixPath\0";

const char TITLE_QUESTION[] = "Rückfrage";
const char TITLE_NOTE[] = "Hinweis";
const char TITLE_ERROR[] = "Fehler";
const char TITLE_LOADED[] = "Geladen";
const char TITLE_SAVED[] = "Gespeichert";
const char TITLE_HELP[] = "Hilfe zum Programm";

const char HELP_TEXT[] =
    "Programmhilfe:\n\nMit KR-Mirrorix können sie beliebig viele Quellverzeichnisse auf Zielverzeichnisse "
    "spiegeln. Bei einer späteren Synchronisierung werden lediglich die Dateien neu übertragen, die sich "
    "geändert haben.\n\nSofern Dateien in der Quelle gelöscht oder verschoben wurden, werden diese im Ziel "
    "ebenfalls gelöscht. Dateien die im Ziel, aber nicht in der Quelle vorhanden sind, werden entfernt. "
    "Sofern Sie diese Bereinigung nicht möchten, können sie das einstellen.\n\nSie können auch mehrere "
    "Sync-Auswahlen erstellen und diese über das Menu laden und speichern.\n\nHINWEIS:\nSollte sich eine "
    "Datei im Ziel ändern, dann wird diese bei der Synchronisierung mit der ursprünglichen Datei der Quelle "
    "überschrieben.\n\n"
    "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern\n"
    "https://kr-mirrorix.example/\n";
const char START_QUESTION[] = "Möchten Sie die Synchronisierung jetzt starten?";
const char CANCEL_QUESTION[] = "Möchten Sie die laufende Synchronisierung wirklich abbrechen?";
const char CLOSE_DURING_RUN_QUESTION[] = "Möchten Sie die Synchronisierung abbrechen und das Programm beenden?";
const char CLOSE_QUESTION[] = "Möchten Sie die Anwendung wirklich beenden?";
const char EMPTY_SOURCE_QUESTION[] =
    "Der Quellordner '%s' ist leer, der Zielordner '%s' aber nicht.\n\n"
    "Sollen bei der Bereinigung alle Dateien und Ordner im Zielordner gelöscht werden?";
const char LOADED_NOTE[] = "Ihre Auswahl wurde geladen";
const char SAVED_NOTE[] = "Ihre Auswahl wurde gespeichert";
const char RUN_COMPLETED_NOTE[] = "Synchronisierung abgeschlossen.";
const char RUN_CANCELLED_NOTE[] = "Synchronisierung abgebrochen.";
const char OVERLAP_WARNING[] = "Die Zielpfade ähneln sich.\nEs wird keine anschließende Bereinigung durchgeführt.";
const char SKIPPED_PAIRS_NOTE[] = "Diese Einträge der Liste werden bei der Synchronisierung übersprungen:";
const char *const SKIPPED_PAIR_CASES[] = {"", "\n- Einträge, die kein gültiges Ordnerpaar sind",
                                          "\n- Ordnerpaare, deren Zielordner im Quellordner liegt",
                                          "\n- Ordnerpaare, deren Quellordner im Zielordner liegt",
                                          "\n- Ordnerpaare, deren Quell- und Zielordner ein und derselbe Ordner sind"};
const char LEFT_ALONE_NOTE[] = "Bei der Synchronisierung ausgelassene Einträge: %d\n%s";
const char LEFT_ALONE_LOGGED[] = "Die Datei log.txt führt jeden einzeln auf.";
const char LEFT_ALONE_UNLOGGED[] = "Die Datei log.txt konnte nicht angelegt werden und führt sie daher nicht auf.";
const char TARGET_CHANGED_NOTE[] = "Der Zielordner '%s' ist nicht mehr der Ordner vom Start der Synchronisierung "
                                   "(ausgetauscht, verschoben oder durch eine Verknüpfung ersetzt).\n"
                                   "Dieses Ordnerpaar wird übersprungen.";
const char SOURCE_CHANGED_NOTE[] =
    "Der Quellordner '%s' ist nicht mehr der Ordner vom Start der Synchronisierung oder ist leer "
    "(etwa ein entferntes Laufwerk).\n"
    "Der Zielordner '%s' wird deshalb nicht bereinigt.";
const char UNCARRIABLE_FOLDER_NOTE[] =
    "Ordnerpfade mit einem Apostroph (') oder einem At-Zeichen (@) können nicht verwendet werden.\n"
    "Bitte wählen Sie einen anderen Ordner.";
const char NESTED_PAIR_NOTE[] = "Der Zielordner darf weder im Quellordner liegen noch ihn enthalten.\n"
                                "Die Sync-Auswahl wurde nicht übernommen.";
const char LIST_FULL_NOTE[] =
    "Die Liste der Sync-Auswahlen ist voll: eine Auswahldatei darf höchstens 10000 Bytes umfassen.\n"
    "Die Sync-Auswahl wurde nicht übernommen.";
const char PIECES_DROPPED_NOTE[] =
    "Einige Einträge der Datei sind keine gültigen Sync-Auswahlen und wurden nicht geladen.";
const char NO_VALID_ENTRY_NOTE[] = "Die Liste bleibt unverändert: keine gültige Sync-Auswahl in der Datei";
const char LIST_SET_ASIDE_NOTE[] = "Die Datei '%s' konnte nicht vollständig gelesen werden.\n"
                                   "Sie wurde unverändert als '%s' beiseitegelegt; die Liste beginnt leer.";
const char LIST_KEPT_NOTE[] = "Die Datei '%s' konnte nicht vollständig gelesen und nicht beiseitegelegt werden.\n"
                              "Sie wird nicht überschrieben: Änderungen der Liste werden nicht gespeichert.";

const char ERROR_NOTICE_FORMAT[] = "%s '%s'%s%s%s%s\n\nFehler %d: %s";
const char NO_SYSTEM_TEXT[] = "Keine Beschreibung verfügbar.";
const char DELETE_FAILED[] = "Fehler beim Löschen der Datei";
const char LISTING_FAILED[] = "Fehler beim Ermitteln der Quelldateien im Pfad";
const char COPY_FAILED[] = "Fehler beim Kopieren der Datei";
const char COPY_FAILED_TARGET[] = "\nnach";
const char SAVE_FAILED[] = "Die Sync-Auswahl konnte nicht gespeichert werden in";
const char LOAD_FAILED[] = "Die Sync-Auswahl konnte nicht geladen werden aus";
const char FILE_TOO_LARGE[] = "Die Datei ist zu groß für eine Sync-Auswahl (höchstens 10000 Bytes):";

const char COPIED_STATUS_LABEL[] = "synchronisierte Dateien: ";
const char CLEANED_STATUS_LABEL[] = "bereinigte Dateien: ";
const char CURRENT_FILE_FORMAT[] = "aktuelle Datei: '%s' - '%s";
const char KILOBYTES_UNIT[] = " KB'";
const char MEGABYTES_UNIT[] = " MB'";
const char LOG_COPIED[] = "Datei kopiert: ";
const char LOG_SKIPPED[] = "WARNUNG - Datei übersprungen: ";
const char LOG_DELETED[] = "Datei gelöscht: ";
const char LOG_LEFT_ALONE[] = "WARNUNG - Eintrag ausgelassen: ";
const char LOG_CHANGED_WHILE_COPIED[] = "WARNUNG - Datei beim Kopieren verändert, ausgelassen: ";
const char LOG_TARGET_CHANGED[] = "WARNUNG - Zielordner verändert, Ordnerpaar übersprungen: ";
const char LOG_SOURCE_CHANGED[] = "WARNUNG - Quellordner verändert, Ziel nicht bereinigt: ";
