// The pictures of the operation list: the currency flags and origin icons of
// the currency library, and the marks drawn here (pointing marks, the
// periodic mark). Pictures are made once and kept for the program's life.
#pragma once

#include <QPixmap>

#include "operations/operation_list.h"

namespace ledgora {

// A bitmap of the currency library by identifier (the flags 9001 to 9021,
// the origin icons 9100 to 9115); a null pixmap for 0 or an identifier the
// library does not know.
QPixmap CurrencyLibraryBitmap(unsigned id);

// The picture of column "P": a down arrow for Downloaded, a check mark for
// Pointed, a ticked box for Ticked; a null pixmap for None. 16 x 16.
QPixmap PointingMarkPixmap(TPointingMark mark);

// The mark of an operation that belongs to a periodic chain (10 x 10).
QPixmap PeriodicMarkPixmap();

}  // namespace ledgora
