// Command targets and message maps.  A map is a static table per class; dispatch
// searches the most derived class's table first and then each base class's in turn.
#pragma once
#include "afx.h"

class CCmdTarget;
class CWnd;
class CDC;
class CScrollBar;
class CMenu;
class CCmdUI;

typedef void (CCmdTarget::*AFX_PMSG)(void);
typedef void (CWnd::*AFX_PMSGW)(void);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;   // window message, or WM_COMMAND / WM_NOTIFY (+ WM_REFLECT_BASE)
    UINT nCode;      // control notification code, as a WORD
    UINT nID;        // first control or command id
    UINT nLastID;    // last id of a range
    UINT_PTR nSig;   // handler signature; for registered messages the address of the id
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// Messages the framework's windows send each other: a control bar's share of its
// parent's client area (lParam an AFX_SIZEPARENTPARAMS*).
#define WM_SIZEPARENT 0x0361

struct AFX_SIZEPARENTPARAMS
{
    HDWP hDWP;        // NULL when only asked (reposQuery)
    RECT rect;        // what is still free; each bar takes its part off
    SIZE sizeTotal;   // what the bars took, for reposQuery
    BOOL bStretch;
};

// Reflected messages: a parent hands a control's notification back to the control
// under the message number plus this base.
#define WM_REFLECT_BASE 0xBC00
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

struct AFX_CTLCOLOR
{
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define IS_COMMAND_ID(nID) ((nID) & 0x8000)

enum AfxSig
{
    AfxSig_end = 0,
    AfxSig_b_D,        // BOOL (CDC*)
    AfxSig_b_W_uu,     // BOOL (CWnd*, UINT, UINT)
    AfxSig_h_D_W_u,    // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_h_D_u,      // HBRUSH (CDC*, UINT), reflected colour request
    AfxSig_i_s,        // int (LPCREATESTRUCT)
    AfxSig_v_v,        // void ()
    AfxSig_v_u,        // void (UINT)
    AfxSig_v_up,       // void (UINT_PTR)
    AfxSig_v_u_ii,     // void (UINT, int, int)
    AfxSig_v_ii,       // void (int, int)
    AfxSig_v_u_pt,     // void (UINT, CPoint)
    AfxSig_b_u_s_pt,   // BOOL (UINT, short, CPoint)
    AfxSig_v_i_s,      // void (int, struct*)
    AfxSig_v_s,        // void (struct*)
    AfxSig_v_W,        // void (CWnd*)
    AfxSig_v_b,        // void (BOOL)
    AfxSig_v_b_u,      // void (BOOL, UINT)
    AfxSig_v_b_dw,     // void (BOOL, DWORD)
    AfxSig_v_u_u_W,    // void (UINT, UINT, CScrollBar*)
    AfxSig_v_uu,       // void (UINT, UINT)
    AfxSig_v_uuu,      // void (UINT, UINT, UINT)
    AfxSig_v_u_l,      // void (UINT, LPARAM)
    AfxSig_v_u_W_b,    // void (UINT, CWnd*, BOOL)
    AfxSig_l_pt,       // LRESULT (CPoint)
    AfxSig_v_W_pt,     // void (CWnd*, CPoint)
    AfxSig_b_u_dwp,    // BOOL (UINT, DWORD_PTR)
    AfxSig_u_v,        // UINT ()
    AfxSig_v_b_s,      // void (BOOL, struct*)
    AfxSig_l_w_l,      // LRESULT (WPARAM, LPARAM)
    AfxSig_b_v,        // BOOL ()
    AfxSig_i_u_W_u,    // int (UINT, CWnd*, UINT): WM_VKEYTOITEM, WM_CHARTOITEM
    AfxSig_v_pt,       // void (CPoint)
    AfxSig_u_u_l,      // UINT (UINT, LPARAM)
    AfxSigCmd_v,       // void ()                         command or notification
    AfxSigCmd_b,       // BOOL ()                         reflected, FALSE lets the parent see it
    AfxSigCmd_RANGE,   // void (UINT)
    AfxSigCmd_EX,      // BOOL (UINT)
    AfxSigNotify_v,    // void (NMHDR*, LRESULT*)
    AfxSigNotify_b,    // BOOL (NMHDR*, LRESULT*)
    AfxSigNotify_RANGE,// void (UINT, NMHDR*, LRESULT*)
    AfxSigNotify_EX,   // BOOL (UINT, NMHDR*, LRESULT*)
    AfxSigCmdUI,       // void (CCmdUI*)                  update-UI handler
    AfxSigCmdUI_RANGE, // void (CCmdUI*), a range of ids
    AfxSig_v_M_u_b,    // void (CMenu*, UINT, BOOL): WM_INITMENUPOPUP
    AfxSig_v_u_W,      // void (UINT, CWnd*): WM_ENTERIDLE
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    virtual ~CCmdTarget();

    // nCode packs the notification code in its low word and, for notifications other
    // than WM_COMMAND, the message in its high word.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry,
                                                    UINT nMsg, UINT nCode, UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass*); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

// Handler pointers are stored under one type and called back under the type their
// signature code names; these casts keep the compiler checking each handler's type.
#define AFX_MSG_CAST(type, pmf) ((AFX_PMSG)(AFX_PMSGW)(static_cast<type>(pmf)))
#define AFX_CMD_CAST(type, pmf) ((AFX_PMSG)(static_cast<type>(pmf)))

// OnTimer handlers take UINT_PTR; handlers written with UINT are accepted too.
template <class T> inline UINT_PTR AfxTimerSig(void (T::*)(UINT_PTR)) { return AfxSig_v_up; }
template <class T> inline UINT_PTR AfxTimerSig(void (T::*)(UINT)) { return AfxSig_v_u; }
template <class T> inline AFX_PMSG AfxTimerPfn(void (T::*pfn)(UINT_PTR))
{ return (AFX_PMSG)(AFX_PMSGW)static_cast<void (CWnd::*)(UINT_PTR)>(pfn); }
template <class T> inline AFX_PMSG AfxTimerPfn(void (T::*pfn)(UINT))
{ return (AFX_PMSG)(AFX_PMSGW)static_cast<void (CWnd::*)(UINT)>(pfn); }

// Window messages
#define ON_WM_CREATE() { WM_CREATE, 0, 0, 0, AfxSig_i_s, AFX_MSG_CAST(int (CWnd::*)(LPCREATESTRUCT), &ThisClass::OnCreate) },
#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnDestroy) },
#define ON_WM_NCDESTROY() { WM_NCDESTROY, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnNcDestroy) },
#define ON_WM_CLOSE() { WM_CLOSE, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnClose) },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnPaint) },
#define ON_WM_NCPAINT() { WM_NCPAINT, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnNcPaint) },
#define ON_WM_ERASEBKGND() { WM_ERASEBKGND, 0, 0, 0, AfxSig_b_D, AFX_MSG_CAST(BOOL (CWnd::*)(CDC*), &ThisClass::OnEraseBkgnd) },
#define ON_WM_TIMER() { WM_TIMER, 0, 0, 0, AfxTimerSig(&ThisClass::OnTimer), AfxTimerPfn(&ThisClass::OnTimer) },
#define ON_WM_SIZE() { WM_SIZE, 0, 0, 0, AfxSig_v_u_ii, AFX_MSG_CAST(void (CWnd::*)(UINT, int, int), &ThisClass::OnSize) },
#define ON_WM_MOVE() { WM_MOVE, 0, 0, 0, AfxSig_v_ii, AFX_MSG_CAST(void (CWnd::*)(int, int), &ThisClass::OnMove) },
#define ON_WM_SHOWWINDOW() { WM_SHOWWINDOW, 0, 0, 0, AfxSig_v_b_u, AFX_MSG_CAST(void (CWnd::*)(BOOL, UINT), &ThisClass::OnShowWindow) },
#define ON_WM_ENABLE() { WM_ENABLE, 0, 0, 0, AfxSig_v_b, AFX_MSG_CAST(void (CWnd::*)(BOOL), &ThisClass::OnEnable) },
#define ON_WM_SETFOCUS() { WM_SETFOCUS, 0, 0, 0, AfxSig_v_W, AFX_MSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnSetFocus) },
#define ON_WM_KILLFOCUS() { WM_KILLFOCUS, 0, 0, 0, AfxSig_v_W, AFX_MSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnKillFocus) },
#define ON_WM_CAPTURECHANGED() { WM_CAPTURECHANGED, 0, 0, 0, AfxSig_v_W, AFX_MSG_CAST(void (CWnd::*)(CWnd*), &ThisClass::OnCaptureChanged) },
#define ON_WM_ACTIVATE() { WM_ACTIVATE, 0, 0, 0, AfxSig_v_u_W_b, AFX_MSG_CAST(void (CWnd::*)(UINT, CWnd*, BOOL), &ThisClass::OnActivate) },
#define ON_WM_ACTIVATEAPP() { WM_ACTIVATEAPP, 0, 0, 0, AfxSig_v_b_dw, AFX_MSG_CAST(void (CWnd::*)(BOOL, DWORD), &ThisClass::OnActivateApp) },
#define ON_WM_GETMINMAXINFO() { WM_GETMINMAXINFO, 0, 0, 0, AfxSig_v_s, AFX_MSG_CAST(void (CWnd::*)(MINMAXINFO*), &ThisClass::OnGetMinMaxInfo) },
#define ON_WM_WINDOWPOSCHANGING() { WM_WINDOWPOSCHANGING, 0, 0, 0, AfxSig_v_s, AFX_MSG_CAST(void (CWnd::*)(WINDOWPOS*), &ThisClass::OnWindowPosChanging) },
#define ON_WM_WINDOWPOSCHANGED() { WM_WINDOWPOSCHANGED, 0, 0, 0, AfxSig_v_s, AFX_MSG_CAST(void (CWnd::*)(WINDOWPOS*), &ThisClass::OnWindowPosChanged) },
#define ON_WM_NCCALCSIZE() { WM_NCCALCSIZE, 0, 0, 0, AfxSig_v_b_s, AFX_MSG_CAST(void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*), &ThisClass::OnNcCalcSize) },
#define ON_WM_NCHITTEST() { WM_NCHITTEST, 0, 0, 0, AfxSig_l_pt, AFX_MSG_CAST(LRESULT (CWnd::*)(CPoint), &ThisClass::OnNcHitTest) },
#define ON_WM_SETCURSOR() { WM_SETCURSOR, 0, 0, 0, AfxSig_b_W_uu, AFX_MSG_CAST(BOOL (CWnd::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor) },
#define ON_WM_CTLCOLOR() { WM_CTLCOLOR, 0, 0, 0, AfxSig_h_D_W_u, AFX_MSG_CAST(HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor) },
#define ON_WM_DRAWITEM() { WM_DRAWITEM, 0, 0, 0, AfxSig_v_i_s, AFX_MSG_CAST(void (CWnd::*)(int, LPDRAWITEMSTRUCT), &ThisClass::OnDrawItem) },
#define ON_WM_MEASUREITEM() { WM_MEASUREITEM, 0, 0, 0, AfxSig_v_i_s, AFX_MSG_CAST(void (CWnd::*)(int, LPMEASUREITEMSTRUCT), &ThisClass::OnMeasureItem) },
#define ON_WM_HSCROLL() { WM_HSCROLL, 0, 0, 0, AfxSig_v_u_u_W, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnHScroll) },
#define ON_WM_VSCROLL() { WM_VSCROLL, 0, 0, 0, AfxSig_v_u_u_W, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, CScrollBar*), &ThisClass::OnVScroll) },
#define ON_WM_KEYDOWN() { WM_KEYDOWN, 0, 0, 0, AfxSig_v_uuu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyDown) },
#define ON_WM_KEYUP() { WM_KEYUP, 0, 0, 0, AfxSig_v_uuu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnKeyUp) },
#define ON_WM_CHAR() { WM_CHAR, 0, 0, 0, AfxSig_v_uuu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnChar) },
#define ON_WM_HOTKEY() { WM_HOTKEY, 0, 0, 0, AfxSig_v_uuu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT, UINT), &ThisClass::OnHotKey) },
#define ON_WM_SYSCOMMAND() { WM_SYSCOMMAND, 0, 0, 0, AfxSig_v_u_l, AFX_MSG_CAST(void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand) },
#define ON_WM_GETDLGCODE() { WM_GETDLGCODE, 0, 0, 0, AfxSig_u_v, AFX_MSG_CAST(UINT (CWnd::*)(void), &ThisClass::OnGetDlgCode) },
#define ON_WM_DEVICECHANGE() { WM_DEVICECHANGE, 0, 0, 0, AfxSig_b_u_dwp, AFX_MSG_CAST(BOOL (CWnd::*)(UINT, DWORD_PTR), &ThisClass::OnDeviceChange) },
#define ON_WM_CONTEXTMENU() { WM_CONTEXTMENU, 0, 0, 0, AfxSig_v_W_pt, AFX_MSG_CAST(void (CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu) },
#define ON_WM_MOUSEMOVE() { WM_MOUSEMOVE, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseMove) },
#define ON_WM_LBUTTONDOWN() { WM_LBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDown) },
#define ON_WM_LBUTTONUP() { WM_LBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonUp) },
#define ON_WM_LBUTTONDBLCLK() { WM_LBUTTONDBLCLK, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnLButtonDblClk) },
#define ON_WM_RBUTTONDOWN() { WM_RBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDown) },
#define ON_WM_RBUTTONUP() { WM_RBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonUp) },
#define ON_WM_RBUTTONDBLCLK() { WM_RBUTTONDBLCLK, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnRButtonDblClk) },
#define ON_WM_MBUTTONDOWN() { WM_MBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonDown) },
#define ON_WM_MBUTTONUP() { WM_MBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMButtonUp) },
#define ON_WM_MOUSEHOVER() { WM_MOUSEHOVER, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnMouseHover) },
#define ON_WM_MOUSELEAVE() { WM_MOUSELEAVE, 0, 0, 0, AfxSig_v_v, AFX_MSG_CAST(void (CWnd::*)(void), &ThisClass::OnMouseLeave) },
#define ON_WM_MOUSEWHEEL() { WM_MOUSEWHEEL, 0, 0, 0, AfxSig_b_u_s_pt, AFX_MSG_CAST(BOOL (CWnd::*)(UINT, short, CPoint), &ThisClass::OnMouseWheel) },
#define ON_WM_NCLBUTTONDOWN() { WM_NCLBUTTONDOWN, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonDown) },
#define ON_WM_NCLBUTTONUP() { WM_NCLBUTTONUP, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonUp) },
#define ON_WM_NCLBUTTONDBLCLK() { WM_NCLBUTTONDBLCLK, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcLButtonDblClk) },
#define ON_WM_NCMOUSEMOVE() { WM_NCMOUSEMOVE, 0, 0, 0, AfxSig_v_u_pt, AFX_MSG_CAST(void (CWnd::*)(UINT, CPoint), &ThisClass::OnNcMouseMove) },
#define ON_WM_POWERBROADCAST() { WM_POWERBROADCAST, 0, 0, 0, AfxSig_u_u_l, AFX_MSG_CAST(UINT (CWnd::*)(UINT, LPARAM), &ThisClass::OnPowerBroadcast) },
#define ON_WM_INITMENUPOPUP() { WM_INITMENUPOPUP, 0, 0, 0, AfxSig_v_M_u_b, AFX_MSG_CAST(void (CWnd::*)(CMenu*, UINT, BOOL), &ThisClass::OnInitMenuPopup) },
#define ON_WM_ENTERIDLE() { WM_ENTERIDLE, 0, 0, 0, AfxSig_v_u_W, AFX_MSG_CAST(void (CWnd::*)(UINT, CWnd*), &ThisClass::OnEnterIdle) },
#define ON_WM_PARENTNOTIFY() { WM_PARENTNOTIFY, 0, 0, 0, AfxSig_v_u_l, AFX_MSG_CAST(void (CWnd::*)(UINT, LPARAM), &ThisClass::OnParentNotify) },

// Messages reflected back to the control that caused them
#define ON_WM_CTLCOLOR_REFLECT() { WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AfxSig_h_D_u, AFX_MSG_CAST(HBRUSH (CWnd::*)(CDC*, UINT), &ThisClass::CtlColor) },
#define ON_WM_DRAWITEM_REFLECT() { WM_DRAWITEM + WM_REFLECT_BASE, 0, 0, 0, AfxSig_v_s, AFX_MSG_CAST(void (CWnd::*)(LPDRAWITEMSTRUCT), &ThisClass::DrawItem) },
#define ON_WM_MEASUREITEM_REFLECT() { WM_MEASUREITEM + WM_REFLECT_BASE, 0, 0, 0, AfxSig_v_s, AFX_MSG_CAST(void (CWnd::*)(LPMEASUREITEMSTRUCT), &ThisClass::MeasureItem) },
#define ON_WM_HSCROLL_REFLECT() { WM_HSCROLL + WM_REFLECT_BASE, 0, 0, 0, AfxSig_v_uu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT), &ThisClass::HScroll) },
#define ON_WM_VSCROLL_REFLECT() { WM_VSCROLL + WM_REFLECT_BASE, 0, 0, 0, AfxSig_v_uu, AFX_MSG_CAST(void (CWnd::*)(UINT, UINT), &ThisClass::VScroll) },

// User-defined and registered messages
#define ON_MESSAGE(message, memberFxn) \
    { message, 0, 0, 0, AfxSig_l_w_l, AFX_MSG_CAST(LRESULT (CWnd::*)(WPARAM, LPARAM), &ThisClass::memberFxn) },
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0xC000, 0, 0, 0, (UINT_PTR)(UINT*)(&nMessageVariable), \
      AFX_MSG_CAST(LRESULT (CWnd::*)(WPARAM, LPARAM), &ThisClass::memberFxn) },

// Commands and control notifications
#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSigCmd_v, AFX_CMD_CAST(void (CCmdTarget::*)(void), &ThisClass::memberFxn) },
#define ON_COMMAND_EX(id, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSigCmd_EX, (AFX_PMSG)(static_cast<BOOL (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn)) },
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AfxSigCmd_RANGE, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn)) },
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    { WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigCmd_v, AFX_CMD_CAST(void (CCmdTarget::*)(void), &ThisClass::memberFxn) },
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    { WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(idLast), AfxSigCmd_RANGE, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn)) },
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
    { WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigNotify_v, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn)) },
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    { WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(idLast), AfxSigNotify_RANGE, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(&ThisClass::memberFxn)) },
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
    { WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigNotify_EX, (AFX_PMSG)(static_cast<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(&ThisClass::memberFxn)) },
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (WORD)(wNotifyCode), 0, 0, AfxSigCmd_v, AFX_CMD_CAST(void (CCmdTarget::*)(void), &ThisClass::memberFxn) },
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
    { WM_COMMAND + WM_REFLECT_BASE, (WORD)(wNotifyCode), 0, 0, AfxSigCmd_b, (AFX_PMSG)(static_cast<BOOL (CCmdTarget::*)(void)>(&ThisClass::memberFxn)) },
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn) \
    { WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(wNotifyCode), 0, 0, AfxSigNotify_v, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn)) },
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn) \
    { WM_NOTIFY + WM_REFLECT_BASE, (WORD)(int)(wNotifyCode), 0, 0, AfxSigNotify_b, (AFX_PMSG)(static_cast<BOOL (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn)) },

// Update-UI handlers: asked, through OnCmdMsg, to enable, check or name a command's
// menu item or control before it is shown.
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    { WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), AfxSigCmdUI, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(CCmdUI*)>(&ThisClass::memberFxn)) },
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    { WM_COMMAND, (WORD)CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), AfxSigCmdUI_RANGE, (AFX_PMSG)(static_cast<void (CCmdTarget::*)(CCmdUI*)>(&ThisClass::memberFxn)) },

// Notification shorthands
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
