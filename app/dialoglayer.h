#pragma once

// Everything a window needs from the dialog layer.
#include "app/cdialog.h"
#include "app/ddx.h"
#include "app/filedialog.h"
#include "app/listctrl.h"
#include "app/msgbox.h"
#include "app/statusbar.h"
