#pragma once
#define AXTARVO_VERSION_BINARY 1, 0, 0, 0
#define AXTARVO_VERSION_TEXT "1.0.0.0"
