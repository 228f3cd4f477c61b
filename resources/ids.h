// Resource ids of the resource library axTarvoRes.dll, shared by its .rc files
// and the program. Texts are named by their decimal ids.
#pragma once

#include "framework/FrameworkIds.h"

// Program file
#define IDI_APPLICATION_ICON 3000

// Version texts of the Files page, chosen by a drawing's format (its magic)
// and its release byte. 2270..2277 are other texts.
#define IDS_VERSION_OTHER 2254   // older, unknown or not a drawing
#define IDS_VERSION_OX1012 2255  // also "OX1014"
#define IDS_VERSION_OX1015_A 2256
#define IDS_VERSION_OX1015_B 2257
#define IDS_VERSION_OX1015_C 2258
#define IDS_VERSION_OX1018_A 2259
#define IDS_VERSION_OX1018_B 2260
#define IDS_VERSION_OX1018_C 2261
#define IDS_VERSION_OX1018_D 2262
#define IDS_VERSION_OX1021_A 2263
#define IDS_VERSION_OX1021_B 2264
#define IDS_VERSION_OX1021_C 2265
#define IDS_VERSION_OX1024_A 2266
#define IDS_VERSION_OX1024_B 2267
#define IDS_VERSION_OX1024_C 2268
#define IDS_VERSION_OX1027_A 2269
#define IDS_VERSION_OX1027_B 2278
#define IDS_VERSION_OX1027_C 2279
#define IDS_VERSION_OX1027_D 2280
#define IDS_VERSION_OX1032 2281

// Strings
#define IDS_LAUNCH_FAILED 2002        // batch process could not be started
#define IDS_LIST_HEADER 2024          // first line of a drawing list file
#define IDS_LOG_WATCHED_WINDOW 2026   // %s: title of the window that ended the host
#define IDS_LOG_TIMEOUT_MINUTES 2027  // %d: minutes per drawing
#define IDS_LOG_USER_STOP 2028
#define IDS_LOG_SCAN_DRAWING 2029    // %s: drawing name, scan run while migrating
#define IDS_LOG_UPDATE_DRAWING 2030  // %s: drawing name, update run
#define IDS_LOG_RULE 2035
#define IDS_LOG_TITLE 2036
#define IDS_LOG_MARGIN 2037
#define IDS_LOG_SCAN_RUN 2038
#define IDS_LOG_UPDATE_RUN 2039
#define IDS_LOG_TIME_FORMAT 2040  // wcsftime format of the header's time stamp
#define IDS_DEFAULT_LOG_NAME 2043
#define IDS_LOG_SCAN_STOPPED 2044
#define IDS_LOG_SCAN_RESUMED 2045
#define IDS_LOG_UPDATE_STOPPED 2046
#define IDS_LOG_UPDATE_RESUMED 2047
#define IDS_LOG_RESULT_RUN 2060
#define IDS_LOG_RESULT_TITLE 2061
#define IDS_LOG_RESULT_TOTAL 2062     // %d
#define IDS_LOG_RESULT_MIGRATED 2063  // %d
#define IDS_LOG_RESULT_MISSING 2064   // %d
#define IDS_LOG_ANALYZE_DRAWING 2071  // %s: drawing name, analyse run
#define IDS_LOG_HOST_ERROR 2075
#define IDS_HOST_TITLE_1 2094  // host main window titles, in search order
#define IDS_HOST_TITLE_2 2095
#define IDS_HOST_TITLE_3 2319
#define IDS_HOST_TITLE_4 2320
#define IDS_HOST_TITLE_5 2097
#define IDS_HOST_TITLE_6 2096
#define IDS_HOST_TITLE_7 2098
#define IDS_HOST_TITLE_8 2099
#define IDS_LOG_TIMEOUT 2277
#define IDS_NOTHING_TO_SCAN 2315
#define IDS_NOTHING_TO_UPDATE 2316

// Window watcher: titles of the host's dialogs and the watcher's log lines.
// Fatal titles: 2191..2195, then 2101..2129; answered with a key: 2130..2134
// and 2137..2140. A title beginning with "?" is a placeholder.
#define IDS_LOG_ANSWER_NOTE 2016        // extra detail line after answering 2134
#define IDS_LOG_ANSWERED_WINDOW 2076    // %s: title of a window answered with keys
#define IDS_WATCH_OPEN_QUESTION 2102    // fatal unless the host's 20010 shows in it
#define IDS_WATCH_MIGRATION_BOX 2120    // fatal unless IDS_WATCH_HARMLESS_TEXT shows in it
#define IDS_WATCH_ANSWER_QUESTION 2132  // answered with the first character of 2136
#define IDS_WATCH_NOTED_WINDOW 2134     // answered with Enter, IDS_LOG_ANSWER_NOTE logged
#define IDS_WATCH_SEQUENCE_WINDOW 2135  // answered with Tab, Tab, Down, Enter
#define IDS_WATCH_ANSWER 2136           // its first character answers 2132
#define IDS_WATCH_HARMLESS_TEXT 2141    // child text that makes 2120 harmless
#define IDS_LOG_WINDOW_TEXTS 2276       // detail line before a window's logged texts
#define HOST_IDS_EARLIER_RELEASE 20010  // string of the host's own ortxares.dll

// Our own additions
#define IDS_LOG_UNREPRESENTABLE_PATH 2400      // %s: drawing path the code page cannot hold
#define IDS_LOG_NAME_FOR_CMD 2401              // %s: name cmd cannot be given in its code page
#define IDS_LOG_REFUSED_EXTENSION 2402         // %s: path of the migration extension
#define IDS_LOG_REFUSED_LOG_PATH 2403          // %s: path of the migration log
#define IDS_LOG_REFUSED_LOG_FLAGS 2404         // %d: the log flags
#define IDS_LOG_UNWRITABLE_EXTENSION 2405      // %s: path of the migration extension
#define IDS_LOG_UNWRITABLE_LOG_PATH 2406       // %s: path of the migration log
#define IDS_LOG_UNWRITABLE_SETUP_DRAWING 2407  // %s: path of the set-up drawing
// %s: a drawing the host's extension reported migrated whose file shows no save
#define IDS_LOG_NOT_SAVED_UNCHANGED 2408  // written before the run
#define IDS_LOG_NOT_SAVED_FORMAT 2409     // not in the format the host writes
#define IDS_LOG_NOT_SAVED_UNREADABLE 2410
#define IDS_LOG_HOST_EXIT_CODE 2411  // %s: drawing, %s: the host's exit code as 0x%08X
// A run the program did not see to its end (it died or the session ended)
#define IDS_ALREADY_RUNNING 2412    // a second instance of the program for this user
#define IDS_RECOVERY_RUNNING 2413   // Yes: watch the interrupted run, No: stop it
#define IDS_RECOVERY_DONE 2414      // %d migrated, %d selected, %d left
#define IDS_RECOVERY_ANALYSIS 2415  // an interrupted analysis was cleaned up
#define IDS_RECOVERY_BAD 2416       // %s: one of the three reasons below
#define IDS_RECOVERY_TRUNCATED 2417
#define IDS_RECOVERY_OTHER_HOST 2418  // %s: the host folder of the record
#define IDS_RECOVERY_LIST_GONE 2419   // %s: the drawing list file
#define IDS_LOG_RUN_INTERRUPTED 2420

// Dialog framework, small dialogs and painted controls (our own additions:
// strings from 2450; the others are the ids the wizard and the run monitor use)
#define IDS_FOLDER_BROWSER_TITLE 2451  // caption of the old-style folder picker
#define IDI_WIZARD 2128                // icon of the wizard and the run monitor
#define IDB_WIZARD_PICTURE 2131        // stretched picture of CWizardBmp
#define IDB_EMBLEM 2142                // CTranspBmp's picture; its white shows the dialog colour
#define IDD_SAFETY_NOTICE 2148         // CSafetyDlg
#define IDD_RUN_VEK 2149               // CRunVekDlg: the migration profile is missing
#define IDC_SAFETY_ICON 2046
#define IDC_RUN_VEK_ICON 2047
// Run monitor: template 2134 (icon IDI_WIZARD) with its controls, and its texts
#define IDD_PROGRESS 2134
#define IDC_PROGRESS_BAR 2019
#define IDC_PROGRESS_DRAWING 2020  // name of the drawing in work
#define IDC_PROGRESS_RESUME 2022
#define IDC_PROGRESS_COUNT 2023        // number of drawings
#define IDC_PROGRESS_NUMBER 2024       // number of the drawing in work
#define IDC_PROGRESS_SCAN_MARK 2025    // shown when the scan phase has ended
#define IDC_PROGRESS_UPDATE_MARK 2026  // shown when the update phase has ended
#define IDC_PROGRESS_STOP 2028
#define IDC_PROGRESS_SCAN_LABEL 2038
#define IDC_PROGRESS_UPDATE_LABEL 2039
#define IDC_PROGRESS_PICTURE 2045
#define IDC_PROGRESS_STATUS 2087
#define IDS_STOP_QUESTION 2034
#define IDS_ANALYSE_STATUS 2041         // status while analysing only
#define IDS_RESUME_HOST_OPEN 2048       // resume refused: a host window is open
#define IDS_ANALYSE_LABEL 2072          // the scan label's text when analysing only
#define IDS_RUN_MIGRATED 2073           // status after the update phase
#define IDS_RUN_DONE 2074               // status after a scan or analysis
#define IDS_HOST_LOG_MARKER_FIRST 2270  // error markers of the host log, 2270..2275;
#define IDS_HOST_LOG_MARKER_LAST 2275   // one beginning with "?" is a placeholder
// The old-style folder picker's template is named "DIRSELECT".
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Options, Standards and Search pages (templates 2132, 2150, 2138).
#define IDD_PAGE_OPTIONS 2132
#define IDD_PAGE_STANDARDS 2150
#define IDD_PAGE_SEARCH 2138
#define IDB_STANDARDS 2057      // two 24-pixel images: a standard, the chosen standard
#define IDI_SEARCH_FOLDER 2130  // the Search page's folder items
#define IDI_SEARCH_ROOT 2131    // the Search page's root item
#define IDS_SEARCH_ROOT 2003
#define IDS_SEARCH_MISSING 2051     // %s: a typed folder that does not exist
#define IDS_SEARCH_NOT_FOLDER 2052  // %s: a typed folder that is a file
#define IDS_SEARCH_DUPLICATE 2065   // %s: a typed folder already listed
#define IDS_SEARCH_FILTER 2066      // "|"-separated filter of the list file dialogs
#define IDS_SEARCH_LOAD_TITLE 2067
#define IDS_SEARCH_LOAD_FAILED 2068  // %s: path
#define IDS_SEARCH_SAVE_TITLE 2069
#define IDS_SEARCH_SAVE_FAILED 2070  // %s: path
#define IDS_STD_0 2053               // the seven standards' names, SymbolStd 0 to 6
#define IDS_STD_1 2054
#define IDS_STD_2 2055
#define IDS_STD_3 2056
#define IDS_STD_4 2057
#define IDS_STD_5 2081
#define IDS_STD_6 2058
#define IDS_SETUP_DRAWING_MISSING 2318
// Options page controls
#define IDC_OPT_TIMEOUT 2035
#define IDC_OPT_PICTURE 2044
#define IDC_OPT_EMBLEM 2033
#define IDC_OPT_HEADING 2051
#define IDC_OPT_SETUP 2318
#define IDC_OPT_SETUP_DRAWING 2319
#define IDC_OPT_SETUP_BROWSE 2320
#define IDC_OPT_PURGE 2321
#define IDC_OPT_PURGE_BLOCKS 2322
#define IDC_OPT_PURGE_LAYERS 2323
#define IDC_OPT_PURGE_DIMSTY 2324
#define IDC_OPT_PURGE_PLOTSTY 2325
#define IDC_OPT_PURGE_GROUP 2326
#define IDC_OPT_PURGE_LTYPES 2327
#define IDC_OPT_PURGE_TEXTSTY 2328
#define IDC_OPT_PURGE_MLSTY 2329
#define IDC_OPT_PURGE_SHAPES 2330
// Standards page controls
#define IDC_STD_PICTURE 2054
#define IDC_STD_EMBLEM 2055
#define IDC_STD_HEADING 2052
#define IDC_STD_LIST 2099
#define IDC_STD_TITLE_BLOCKS 2096
#define IDC_STD_SYMBOLS 2097
#define IDC_STD_CHOICES 2109
// Search page controls
#define IDC_SEARCH_EMBLEM 2034
#define IDC_SEARCH_TREE 2016
#define IDC_SEARCH_HEADING 2053
#define IDC_SEARCH_BROWSE 2010
#define IDC_SEARCH_NEW 2011
#define IDC_SEARCH_DELETE 2012
#define IDC_SEARCH_UP 2013
#define IDC_SEARCH_DOWN 2014
#define IDC_SEARCH_LOAD 2103
#define IDC_SEARCH_SAVE 2104
// Wizard frame, Begin and Finish pages, help window. Strings and controls
// have separate numberings, so a control may share its number with a text.
#define IDD_PAGE_BEGIN 2130
#define IDD_PAGE_FINISH 2133
#define IDD_HELP 2145
#define IDB_HELP_PICTURE 2143     // help window picture, 256 colours or more
#define IDB_HELP_PICTURE_16 2144  // the same for displays with fewer colours
#define IDI_HELP_LARGE 2146
#define IDI_HELP_SMALL 2147
#define IDS_LOG_DIALOG_TITLE 2031              // title of the log file's save dialog
#define IDS_LOG_DIALOG_FILTER 2032             // its file types, "|"-separated pairs
#define IDS_LOG_DIALOG_EXTENSION 2033          // its default extension
#define IDS_HOST_RUNNING IDS_RESUME_HOST_OPEN  // the same text refuses Finish
#define IDS_HELP_FONT 2049                     // face name of the help text's font
#define IDS_CONFIRM_CANCEL 2050                // asked before the wizard is cancelled
// Begin page
#define IDC_BEGIN_PICTURE 2042
#define IDC_BEGIN_EMBLEM 2031
#define IDC_BEGIN_HEADING 2048
#define IDC_BEGIN_ICON 2056
// Finish page
#define IDC_FINISH_PICTURE 2043
#define IDC_FINISH_EMBLEM 2030
#define IDC_FINISH_HEADING 2050
#define IDC_LOG_STEPS 2008     // LogFlags 0x1
#define IDC_LOG_WARNINGS 2007  // LogFlags 0x2
#define IDC_LOG_SKIPPED 2006   // LogFlags 0x4
#define IDC_LOG_DEBUG 2011     // LogFlags 0x8, hidden
#define IDC_LOG_PATH 2009
#define IDC_LOG_CHOOSE 2010
// Help window
#define IDC_HELP_TEXT 2036
#define IDC_HELP_PICTURE 2037
// Files page (template 2131). Strings 2004..2023 but 2016 (the watcher's),
// 2042 and 2317.
#define IDD_PAGE_FILES 2131
#define IDC_FILES_LIST 2000
#define IDC_FILES_BROWSE 2005
#define IDC_FILES_REMOVE 2006
#define IDC_FILES_PREVIEW 2011
#define IDC_FILES_OPEN_LIST 2013
#define IDC_FILES_ADD_LIST 2014
#define IDC_FILES_SAVE_LIST 2017
#define IDC_FILES_NEW_LIST 2025
#define IDC_FILES_EMBLEM 2032
#define IDC_FILES_HEADING 2049
#define IDS_FILES_COLUMN_NAME 2004
#define IDS_FILES_COLUMN_FOLDER 2005
#define IDS_FILES_COLUMN_VERSION 2006
#define IDS_FILES_COLUMN_STATUS 2007
#define IDS_FILES_REMOVE_CAPTION 2008
#define IDS_FILES_REMOVE_QUESTION 2009  // asked before more than one drawing goes
#define IDS_FILES_BROWSE_TITLE 2010
#define IDS_FILES_BROWSE_FILTER 2011  // "|"-separated pairs
#define IDS_FILES_STATUS_MISSING 2012
#define IDS_FILES_STATUS_READ_ONLY 2013
#define IDS_FILES_STATUS_FOLDER 2014
#define IDS_FILES_STATUS_OFFLINE 2015
#define IDS_FILES_SAVE_QUESTION 2017  // Yes, No, Cancel before an unsaved list goes
#define IDS_FILES_LIST_FILTER 2018    // of the list file dialogs
#define IDS_FILES_OPEN_TITLE 2019
#define IDS_FILES_SAVE_TITLE 2020
#define IDS_FILES_SAVE_FAILED 2021  // %s: the list file
#define IDS_FILES_OPEN_FAILED 2022  // %s: the list file
#define IDS_FILES_ADD_TITLE 2023
#define IDS_FILES_DROP_OTHER 2042   // %s: a dropped file of another type
#define IDS_FILES_NONE_USABLE 2317  // Next with no drawing that can be migrated
