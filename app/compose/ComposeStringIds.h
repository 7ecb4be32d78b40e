// String-table entries of the composition windows.
#pragma once

#define IDS_MERGE_FAILED          61516
#define IDS_STITCH_RESULT_NAME    61578
#define IDS_STITCH_FAILED         61579
#define IDS_STITCH_DONE           61580
#define IDS_CHOOSE_FOLDER         61581
#define IDS_SIZE_MISMATCH         61610
#define IDS_NO_IMAGE              61612
#define IDS_FUSION_EDOF           61626
#define IDS_FUSION_STITCH         61627
#define IDS_FUSION_HDR            61628
#define IDS_MERGE_DONE            61629
#define IDS_FUSION_FAILED         61630
#define IDS_FUSION_DONE           61631
#define IDS_HDR_COUNT             61632
#define IDS_FUSION_WAITING        61633
