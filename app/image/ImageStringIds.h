// String-table entries of the image panels and the print layout.
#pragma once
#include "afxres.h"

#define IDS_OPEN_IMAGE_TITLE 61582   // the image open dialog's title
#define IDS_SAVE_IMAGE_TITLE 61583   // the image save dialog's title
#define IDS_PRINT_PAGE_FULL 61616
// AFX_IDP_FAILED_TO_START_PRINT (the framework's print job failure) is filled here.
