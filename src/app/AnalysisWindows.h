#pragma once

#include <QCursor>
#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include "app/DistributionWindowHolder.h"
#include "platform/Twips.h"

class QCloseEvent;
class QGroupBox;
class QKeyEvent;
class QListWidget;
class QPushButton;
class OutputPane;
class frmCorvane;
class frmDescriptives;
class frmNavigate;

// The single instances of the effect-size window, the descriptives window and the navigator,
// owned for the main window: created on first use, shown modally, and discarded after an
// import or when closed from their title bar.
class AnalysisWindows {
  public:
    AnalysisWindows(QWidget* owner, OutputPane* pane);
    ~AnalysisWindows();

    void showCorvane();       // frmCorvane
    void showDescriptives();  // frmDescriptives
    void showNavigate();      // frmNavigate, built afresh at each opening

    // After a successful import: frmCorvane and frmDescriptives are released (the navigator
    // is not kept between openings anyway).
    void discardAnalysisWindows();

    // The last effect-size run's bootstrap distributions and their window, dropped with the
    // analysis windows.
    DistributionWindowHolder& distributions() { return m_distributions; }

    // The current instances, or null; for tests.
    QWidget* corvane() const;
    QWidget* descriptives() const;

    // The instance the next showing uses, created (and built) when there is none.
    frmCorvane* corvaneInstance();
    frmDescriptives* descriptivesInstance();

    // Test seam: the next showing of any of the three windows runs `step` inside its modal
    // loop once the window is up. The step ends the showing by hiding or closing the window.
    static void scriptNextShowing(std::function<void(QWidget&)> step);

  private:
    // Runs the window's modal loop, with the scripted step if one is waiting.
    static void execModal(QDialog& window);

    QWidget* m_owner;
    OutputPane* m_pane;
    QPointer<frmCorvane> m_corvane;
    QPointer<frmDescriptives> m_descriptives;
    DistributionWindowHolder m_distributions;
};

// What the effect-size and descriptives windows have in common: Escape is no Cancel (neither
// button reacts to it), OK and Cancel only hide the window, and the close box unloads it.
class AnalysisDialog : public QDialog {
  public:
    // True once the window has been closed from its title bar: the instance is released.
    bool isUnloaded() const { return m_unloaded; }

  protected:
    AnalysisDialog(const QString& objectName, const QString& title, QWidget* parent);

    // One unticked, tickable item per variable: "Var 1" to "Var <variables>".
    static void addVariableItems(QListWidget* list, std::int32_t variables);
    // Calls onTick(row) for each item whose tick really changed; itemChanged also reports other
    // changes of an item. `ticks` holds each item's tick as last heard and must outlive the list.
    void watchTicks(QListWidget* list, std::vector<bool>& ticks, std::function<void(int)> onTick);
    // Runs the analysis behind OK; a failure it did not foresee gets a box rather than ending
    // silently.
    void runGuarded(const std::function<void()>& analysis);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    bool m_unloaded = false;
};

// The busy pointer over one window while an analysis runs; the pointer the window had comes
// back however the analysis ends.
class BusyPointer {
  public:
    explicit BusyPointer(QWidget* window);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    QPointer<QWidget> m_window;
    bool m_hadOwnCursor;
    QCursor m_previous;
};

// The fixed layouts of the three windows: a control named as the program names it, placed in
// twips inside its container.
template <class W>
W* MakeControl(QWidget* container, const char* name, int left, int top, int width, int height) {
    auto* w = new W(container);
    w->setObjectName(QString::fromLatin1(name));
    Twips::place(w, left, top, width, height);
    return w;
}

template <class W>
W* MakeCaptioned(QWidget* container, const char* name, const char* caption, int left, int top,
                 int width, int height) {
    auto* w = MakeControl<W>(container, name, left, top, width, height);
    w->setText(QString::fromLatin1(caption));
    return w;
}

QGroupBox* MakeFrame(QWidget* container, const char* name, const char* caption, int left, int top,
                     int width, int height);

// A command button that Enter does not press unless it is clicked or has the focus and
// Space is pressed.
QPushButton* MakeButton(QWidget* container, const char* name, const char* caption, int left,
                        int top, int width, int height);

// The window frame of the three windows: a title and a close box, nothing to minimize,
// maximize or resize; the client area fixed at the given size in twips; a font in which the
// captions fit their fixed boxes. Called once every control is placed.
void FixWindowFrame(QDialog* window, int clientWidth, int clientHeight);
