// String-table entries of the image panels and the print layout.
#pragma once
#include "afxres.h"
#include "app/store/StoreStringIds.h"

#define IDS_PRINT_PAGE_FULL 61616
// AFX_IDP_FAILED_TO_START_PRINT (the framework's print job failure) is filled here.
