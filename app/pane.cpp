// The moc output of pane.h lands with this file.
#include "app/pane.h"
