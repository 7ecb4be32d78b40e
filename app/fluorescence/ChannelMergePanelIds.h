// Resource and control ids of CChannelMergePanel.
#pragma once

#define IDD_CHANNEL_MERGE_PANEL 643
