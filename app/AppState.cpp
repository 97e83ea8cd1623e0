#include "app/AppState.h"

AppStateRecord AppState;
