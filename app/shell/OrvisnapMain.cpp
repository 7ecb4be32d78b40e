// The program's one application object.  Everything else is in the orvapp library,
// which the tests link without it.
#include "app/shell/DravenluxApp.h"

CDravenluxApp theApp;
