// The Browse tab page: image information and folder sections, which cannot be
// collapsed.
#pragma once
#include "app/shell/TabPage.h"
#include "app/browse/ImageInfoPanel.h"
#include "app/browse/FolderPanel.h"
#include "app/shell/ShellLinks.h"

class CBrowsePage : public CTabPage
{
    DECLARE_DYNAMIC(CBrowsePage)
public:
    explicit CBrowsePage(CWnd* pParent = NULL);
    virtual ~CBrowsePage();
    enum { IDD = IDD_BROWSE_PAGE };

    CImageInfoPanel m_imageInfoPanel;
    CFolderPanel m_folderPanel;

    virtual BOOL OnInitDialog() override;
    virtual void RefreshImageInfo();

protected:
    virtual int DeferredSectionCount() const override { return 2; }
    virtual void AddDeferredSection(int index) override;
    virtual void AfterSectionsBuilt() override { RefreshImageInfo(); }
    virtual void LinkDeferredParts(bool build) override;
};
