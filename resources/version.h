#pragma once
// The one version number of the program: its version record, the resource
// libraries', the manifest and the installer package all take it from here
// (the build reads it and checks that both forms agree).
#define AXTARVO_VERSION_BINARY 1, 0, 0, 0
#define AXTARVO_VERSION_TEXT "1.0.0.0"
