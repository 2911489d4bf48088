// The pairscout executable: the one application object and wx's main.
#include "app/geminex_app.h"

wxIMPLEMENT_APP(CGeminexApp);
