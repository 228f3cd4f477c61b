// The program's one application object.
#include "app/AxvekTarvoApp.h"

static CAxvekTarvoApp theApp;
