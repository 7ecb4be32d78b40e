// String-table entries the image store loads itself (filled in app/image/ImageStrings.rc).
#pragma once

#define IDS_OPEN_IMAGE_TITLE 61582   // the image open dialog's title
#define IDS_SAVE_IMAGE_TITLE 61583   // the image save dialog's title
