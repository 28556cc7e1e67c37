#pragma once
// The base of every dialog, form and embedded panel. Its controls come from a
// registered DialogTemplate, each widget named after its decimal id. Set-up
// follows the template-dialog life: construct, then DoModal() or Create();
// both build the controls and call OnInitDialog() before the window shows.
//
// Notifications come only from the user (typing, clicking, a spin step, a
// slider move, a tab clicked); writes by the program, through this class or
// straight through Qt, raise none (a program's click() is a click). Enter,
// Escape and the close box arrive as clicks on IDOK / IDCANCEL, which end in
// OnOK() / OnCancel().

#include "DialogTemplate.h"
#include "Interaction.h"
#include "Messages.h"

#include <QDialog>
#include <QPointer>

#include <map>
#include <vector>

class CDataExchange;
class QAbstractButton;
class QKeyEvent;
class QSlider;

constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT BST_INDETERMINATE = 2;

// Slider scroll codes
constexpr UINT TB_LINEUP = 0;
constexpr UINT TB_LINEDOWN = 1;
constexpr UINT TB_PAGEUP = 2;
constexpr UINT TB_PAGEDOWN = 3;
constexpr UINT TB_THUMBPOSITION = 4;
constexpr UINT TB_THUMBTRACK = 5;
constexpr UINT TB_TOP = 6;
constexpr UINT TB_BOTTOM = 7;
constexpr UINT TB_ENDTRACK = 8;

class CDialog : public QDialog, public MessageTarget {
    Q_OBJECT

public:
    // parent: the owner of a pop-up, or the default parent for Create().
    explicit CDialog(UINT templateId, QWidget* parent = nullptr);
    ~CDialog() override;

    UINT GetTemplateId() const { return m_templateId; }

    // Runs the dialog modally; returns the value given to EndDialog (IDOK,
    // IDCANCEL, ...), or -1 when the template is unknown or a run is on. EndDialog called
    // from OnInitDialog returns at once without showing anything.
    INT_PTR DoModal();
    // Modeless creation. A Child template puts the dialog inside parent (a
    // frame or group box of the owner) at its top-left corner; any other
    // template makes a window owned by parent. Shown when the template is
    // Visible. Null parent: the constructor's. FALSE for an unknown template
    // or a second creation.
    BOOL Create(QWidget* parent = nullptr);
    // Hides a modeless dialog, stops its timers and detaches it from its
    // parent; the object stays the caller's, to delete.
    BOOL DestroyWindow();
    // Ends a modal run with result; hides a modeless dialog.
    void EndDialog(int result);

    // The base transfers the members into the controls and returns TRUE.
    virtual BOOL OnInitDialog();
    // The base transfers and validates, then ends with IDOK.
    virtual void OnOK();
    // The base ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    // TRUE: controls into members, with validation; FALSE: members into
    // controls. Returns FALSE when a field failed (the user has been warned
    // and the focus is back on the field).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Controls of this dialog (not of panels embedded in it); null when absent.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItemAs(int id) const
    {
        return dynamic_cast<T*>(GetDlgItem(id));
    }
    static int GetDlgCtrlID(const QWidget* control);
    // Window text of any control: edit, static, button, group box, or a window's title.
    static CString GetWindowText(const QWidget* window);
    static void SetWindowText(QWidget* window, const CString& text);
    void SetDlgItemText(int id, const CString& text);
    CString GetDlgItemText(int id) const;
    void SetDlgItemInt(int id, int value);
    // Signed decimal; *translated tells whether the text was one.
    int GetDlgItemInt(int id, BOOL* translated = nullptr) const;
    void CheckDlgButton(int id, UINT state);
    UINT IsDlgButtonChecked(int id) const;
    // Checks checkId and clears the other radios with ids in first..last.
    void CheckRadioButton(int firstId, int lastId, int checkId);
    void GotoDlgCtrl(QWidget* control);
    // The radios of the group that starts with firstId, in template order.
    std::vector<QAbstractButton*> RadioGroup(int firstId) const;

    // Timer id fires OnTimer(id) every milliseconds until killed; setting
    // an id again restarts it. Returns id, or 0 for id 0.
    UINT SetTimer(UINT id, UINT milliseconds);
    BOOL KillTimer(UINT id);

    // Posted and sent messages; the base ignores them and returns 0.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void accept() override;
    void reject() override;

protected:
    // A click on a button, check box, radio, notifying static or picture, or
    // a row of a list view. The base sends IDOK to OnOK and IDCANCEL to
    // OnCancel; overrides call it for ids they do not handle.
    virtual void OnClicked(int id);
    // The user changed the text of an edit (typing, or a spin writing into its buddy).
    virtual void OnEditChanged(int id);
    // The user clicked another tab (tabs do not take the keyboard focus).
    virtual void OnSelectionChanged(int id);
    // A spin is about to move from position by delta; TRUE keeps it still.
    virtual BOOL OnSpinDelta(int id, int position, int delta);
    // The user moved a slider: TB_THUMBTRACK while dragging, the key or page
    // code for other moves, then TB_ENDTRACK when the move is over.
    virtual void OnHScroll(UINT code, int position, QSlider* slider);
    virtual void OnVScroll(UINT code, int position, QSlider* slider);
    // Every key pressed in a control (id) or in the dialog itself (id 0),
    // before the control or the dialog sees it; TRUE swallows the key.
    virtual BOOL PreTranslateKey(int id, QKeyEvent* event);
    virtual void OnTimer(UINT id);

    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Build(QWidget* parent, bool child);
    void Wire(QWidget* control, const ControlTemplate& gabarit);
    void RadioClicked(QAbstractButton* radio);
    void SliderMoved(QSlider* slider, UINT code);
    void PressEnter();

    UINT m_templateId;
    QPointer<QWidget> m_owner;
    bool m_built = false;
    bool m_modal = false;
    bool m_endedEarly = false;
    int m_earlyResult = 0;
    const QObject* m_clickedTabs = nullptr;
    const QEvent* m_offeredKey = nullptr;
    std::vector<std::vector<QPointer<QAbstractButton>>> m_radioGroups;
    std::map<UINT, int> m_timers; // our id -> Qt's id

};
