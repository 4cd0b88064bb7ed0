#include "clip/ClipFormats.h"

bool isSkippedFormat(unsigned format) {
    switch (format) {
    case 2:     // CF_BITMAP
    case 3:     // CF_METAFILEPICT
    case 7:     // CF_OEMTEXT
    case 9:     // CF_PALETTE
    case 14:    // CF_ENHMETAFILE
    case 0x80:  // CF_OWNERDISPLAY
    case 0x81:  // CF_DSPTEXT
    case 0x82:  // CF_DSPBITMAP
    case 0x83:  // CF_DSPMETAFILEPICT
    case 0x8E:  // CF_DSPENHMETAFILE
        return true;
    default:
        // CF_PRIVATEFIRST to CF_PRIVATELAST, CF_GDIOBJFIRST to CF_GDIOBJLAST.
        return format >= 0x200 && format <= 0x3FF;
    }
}
