// The string ids the framework itself loads from the resource library: the
// message boxes' caption, the file-error texts and the data-exchange range
// message. The program's ids (resources/ids.h) take these in, so both sides
// and the .rc files name the same strings.
#pragma once

#define IDS_CAPTION 2001             // caption of every message box, wizard title
#define IDS_FILE_ERROR 2300          // %s: path, %s: reason
#define IDS_FILE_ERROR_GENERIC 2301  // reasons 2301..2314 by file-error cause
#define IDS_FILE_ERROR_END_OF_FILE 2314
#define IDS_DDX_INT_RANGE 2450  // %d, %d: lowest and highest whole number allowed
