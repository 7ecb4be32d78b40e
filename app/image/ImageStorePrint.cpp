// The print layout on a printer page belongs with the print layout work; until it
// arrives a print request draws nothing (the page rectangle may still be empty).
#include "app/image/ImageStore.h"

void CImageStore::PrintLayout(CDC* dc)
{
    (void)dc;
}
