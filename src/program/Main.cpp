// The program's one application object.
#include "program/AxvekTarvoProgram.h"

static CAxvekTarvoProgram theApp;
