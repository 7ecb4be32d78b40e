// Asks for a layer's name: SetName before DoModal, GetName after OK.
#pragma once
#include "afxwin.h"
#include "app/measure/LayersDialogIds.h"

class CLayerNameDialog : public CDialog
{
    DECLARE_DYNAMIC(CLayerNameDialog)
public:
    explicit CLayerNameDialog(CWnd* pParent = NULL);
    virtual ~CLayerNameDialog();
    enum { IDD = IDD_LAYER_NAME };

    void SetName(LPCWSTR name) { m_name = name; }
    const CString& GetName() const { return m_name; }

protected:
    virtual BOOL OnInitDialog() override;
    virtual void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()

    CEdit m_edit;
    CString m_name;
};
