// The white-balance wizard: a small modeless popup that leads the user from resetting
// the camera through the microscope light and an empty area to a white balance, and on
// over-exposure through a manual exposure back to another try.
//
// It never destroys itself: closing it in any way posts WM_WB_WIZARD_CLOSED to its
// owner (the camera panel), which destroys and deletes it and makes a new one for the
// next use.
#pragma once
#include "app/shell/PanelDialog.h"
#include "app/capture/WhiteBalanceWizardIds.h"
#include "app/controls/SkinBitmapButton.h"

class CWhiteBalanceWizard : public CPanelDialog
{
    DECLARE_DYNAMIC(CWhiteBalanceWizard)
public:
    // The caller creates the window: Create(IDD, pOwner).
    explicit CWhiteBalanceWizard(CWnd* pOwner = NULL);
    virtual ~CWhiteBalanceWizard();
    enum { IDD = IDD_WB_WIZARD };

    enum Step {
        STEP_INTRO = 0,       // reset the camera parameters
        STEP_LIGHT = 1,       // adjust the microscope light
        STEP_WHITE_AREA = 2,  // move to an empty area; the next OK takes the balance
        STEP_DONE = 3,        // balanced; OK closes
        STEP_FAILED = 4,      // over-exposed; OK leads to manual exposure, Cancel back
        STEP_MANUAL = 5,      // the user sets the exposure; OK tries once more
    };
    int GetStep() const { return m_step; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX) override;
    virtual BOOL OnInitDialog() override;
    // Enter and Escape keep their dialog meaning here: OK and Cancel.
    virtual BOOL PreTranslateMessage(MSG* pMsg) override;
    virtual void OnOK() override;
    virtual void OnCancel() override;
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    void ShowStep(int step);
    // The balance as the library answers it; the camera asked `requests` times when the
    // first answer is a success.
    void TakeWhiteBalance(int requests);
    void TellOwner();

    CWnd* m_pOwner;
    int m_step;
    CSkinBitmapButton m_ok;
    CSkinBitmapButton m_cancel;
};
