// The video settings dialog: which installed compressor records, and how a recording
// stops (by hand, or after a number of frames or seconds).  On OK it stores its
// settings in the camera library; the capture panel then takes them into its request.
#pragma once
#include <vector>
#include "app/shell/PanelDialog.h"
#include "app/capture/VideoSettingsDialogIds.h"
#include "app/capture/CompressorCatalog.h"
#include "app/controls/SkinBitmapButton.h"
#include "app/controls/SkinComboBox.h"
#include "app/controls/NumericEdit.h"
#include "camera/core/QrCCamera.h"

class CVideoSettingsDialog : public CPanelDialog
{
    DECLARE_DYNAMIC(CVideoSettingsDialog)
public:
    // catalog: the compressors to offer; the system's when none is given.
    explicit CVideoSettingsDialog(CWnd* pParent = NULL, CCompressorCatalog* catalog = NULL);
    virtual ~CVideoSettingsDialog();
    enum { IDD = IDD_VIDEO_SETTINGS };

    // The code of "no compression" in Compress: the characters D, I, B and a blank.
    static const DWORD kNoCompression = mmioFOURCC('D', 'I', 'B', ' ');
    // Whether the camera library records with this compressor (any other code would
    // be recorded uncompressed, so it is not offered).
    static BOOL IsRecordingCompressor(DWORD handler);

    virtual BOOL OnInitDialog() override;
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;

    // The handler of the selected entry; kNoCompression for "No Compressor" or when the
    // compressor no longer opens.  Works after the dialog has closed.
    DWORD GetSelectedCompressor();
    int GetSelectedIndex() const { return m_nSelected; }
    int GetCompressorCount() const { return (int)m_handlers.size(); }
    CString GetDescription(int i) const { return m_descriptions[i]; }
    DWORD GetHandler(int i) const { return m_handlers[i]; }
    BOOL IsConfigurable() const { return m_bConfigurable; }
    // The request as the dialog holds it (after OK: as stored in the library).
    const CaptureParam& Request() const { return m_mgr.capture; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual void OnOK() override;

    void BuildCompressorList();
    // The entry the stored settings name: the stored handler where it is still listed,
    // else the stored position (as far as the list reaches).
    int StoredSelection() const;
    void UpdateConfigureState();
    void LoadEnableStatesFromRecord();
    void RefreshEnableStates();
    void LoadControls();
    void EnableStopValue(BOOL enable);
    void SetStopRange();
    // The stop value as typed, into AviFrame (an empty field keeps it).
    void ReadStopValue();
    int SelectedEntry() const;

    afx_msg void OnConfigure();
    afx_msg void OnManualStop();
    afx_msg void OnAutoStop();
    afx_msg LRESULT OnComboSelChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    CCompressorCatalog* m_pCatalog;
    CameraMgrParam m_mgr;
    int m_nSelected;
    BOOL m_bConfigurable;
    // The compressor list: description, handler and ICInfo number of each entry.
    std::vector<CString> m_descriptions;
    std::vector<DWORD> m_handlers;
    std::vector<DWORD> m_indices;

    CSkinComboBox m_compressorCombo;
    CSkinComboBox m_unitCombo;
    CSkinBitmapButton m_configureButton;
    CSkinBitmapButton m_manualRadio;
    CSkinBitmapButton m_autoRadio;
    CSkinBitmapButton m_modeCheck;
    CSkinBitmapButton m_okButton;
    CSkinBitmapButton m_cancelButton;
    CNumericEdit m_stopEdit;
    CNumericEdit m_intervalEdit;
    CNumericEdit m_rateEdit;
};
