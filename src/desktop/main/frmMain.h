#pragma once
// The main window: the container, the graph, the temperature input and readout, the
// liquid selector, scenario playback and the menu.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/graph/GraphExport.h"
#include "desktop/graph/GraphLegend.h"
#include "desktop/graph/GraphPanel.h"
#include "core/app/AppState.h"
#include "core/app/Program.h"
#include "core/app/FramePace.h"
#include "core/app/Simulation.h"
#include "core/field/mdlSprite.h"
#include "core/model/mdlData.h"
#include "desktop/platform/DrawArea.h"
#include "desktop/platform/PictureView.h"
#include "core/view/Zoom.h"
#include "desktop/scenario/LessonShelf.h"
#include "desktop/scenario/mdlSinario.h"
#include "core/settings/SystemSettings.h"
#include "desktop/settings/UserPrefs.h"
#include "desktop/settings/mdlSystem.h"
#include "desktop/settings/mdlCommon.h"

class QComboBox;
class QPrinter;
class QUrl;
class QLabel;
class QPushButton;
class QLineEdit;
class QAction;
class QMenu;
class QTimer;

namespace platform {
class DrawAreaView;
class KeyPreview;
class PictureButton;
class TickTimer;
}

// What the whole program shares, one instance each, owned by the application: the program
// core and what only the desktop keeps (where its files live, the user's view choices).
struct SharedRecords {
    app::Program program;
    mdlSystem::SettingsLocation location;
    userprefs::UserPrefs prefs; // the user's view choices; saved to prefsPath when changed
    QString prefsPath;          // empty: not remembered
};

// The temperature's up-down spinner: −100..200, step 1, no wrap-around.
class UpDownSpinner : public QWidget {
    Q_OBJECT
public:
    explicit UpDownSpinner(QWidget* parent = nullptr);
    static constexpr int kMin = -100;
    static constexpr int kMax = 200;
signals:
    void stepped(int direction); // +1 up, -1 down
};

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(SharedRecords& shared,
                     mdlSprite::TimeOfDayClock clock = mdlSprite::SystemTimeOfDay,
                     QWidget* parent = nullptr);
    ~frmMain() override;

    // Activation: runs when the window is first shown and after each modal dialog closes.
    void Form_Activate();
    void txtOndo_Change();
    // One tick of 16 ms: counts the frame wait down, or draws a frame.
    void Timer1_Timer();
    // The timer woke for the next frame: the ticks in between only counted down.
    void Timer1_Wake();
    // Starts the tick (done when the window is first shown).
    void StartTimer();
    void Form_KeyUp(int keyCode, int shift);
    void picSinario_Click();
    void picGrphSw_Click();
    void picGrphCls_Click();
    void UpDownOndo_Click(int direction);
    void RunSinarioStep();

    void menu_Init_Click();
    void menu_Sinario_Click();
    void menu_ver_Click();
    void menu_search_Click() {}
    void menu_end_Click();
    void menu_Lesson_Click(const QString& path);
    // The graph's points out of the program: picture to the clipboard or a PNG file, table
    // to a CSV file. Also on the graph's context menu.
    void menu_GrphCopy_Click();
    void menu_GrphSave_Click();
    void menu_CsvSave_Click();
    // The report picture of the points on the panel's grid.
    QImage GraphReportImage() const;
    void menu_DataBook_Click(bool checked);

    // Shows a dialog modally over this window, then runs the activation sequence.
    void ShowDialog(QDialog& dialog);

    // Controls, public for the tests and for the accessibility layer.
    QLineEdit* txtOndo = nullptr;
    QLineEdit* txtAturyoku = nullptr;
    UpDownSpinner* UpDownOndo = nullptr;
    QLabel* lblTmp = nullptr;
    QLabel* lblPress = nullptr;
    QLabel* lblMol = nullptr;
    QLabel* lblVal = nullptr;
    QLabel* lblDataBook = nullptr; // "文献値で計算中", shown while the data-book values are in use
    QLabel* lblStep = nullptr;     // where playback stands, under the graph
    QAction* menu_Reset = nullptr; // 最初に戻す (F9)
    void menu_Reset_Click();
    QComboBox* cmbLiquid = nullptr;
    platform::PictureButton* picSinario = nullptr;
    platform::PictureButton* picGrphSw = nullptr;
    platform::PictureButton* picGrphCls = nullptr;
    QAction* menu_Init = nullptr;
    QAction* menu_Sinario = nullptr;
    QAction* menu_end = nullptr;
    QAction* menu_search = nullptr;
    QAction* menu_ver = nullptr;
    QMenu* menu_View = nullptr; // 表示: the view's own choices, between ファイル and ヘルプ
    QMenu* menu_Lessons = nullptr; // サンプルシナリオ: the scenarios of the lessons folder
    lessonshelf::LessonListing lessonListing_; // the menu's last listing, reused while it holds
    QAction* menu_Zoom[3] = {};        // 100%, 150%, 200%: one checked
    QAction* menu_FullScreen = nullptr; // 全画面表示 (F11)

    // Projector view. A zoom chosen from the menu is remembered in the user's preferences
    // and used whenever the window is not full screen; full screen takes the largest zoom
    // that fits the screen and centres the window's picture on the panel colour.
    void SetViewZoom(int percent);
    // Saves shared_.prefs; a failure is told in a message box, the same for every choice.
    void SaveUserPrefs();
    void SetFullScreenView(bool on);
    int ViewZoom() const { return viewZoom_; }
    // The zoom used outside full screen: the remembered one, or the largest that fits.
    int WindowZoom() const { return windowZoom_; }
    int MenuBarDesignHeight() const { return menuBarDesign_; }
    // Enables the zooms whose window fits the screen's available area.
    void UpdateZoomMenu();
    // The scale factor at which the window, not yet shown, would fit its screen when even
    // 100 % does not at the present one (QT_SCALE_FACTOR=2 on a 1280 × 1024 screen); nothing
    // when it fits.
    std::optional<double> ScaleThatFits() const;
    bool FullScreenView() const { return fullScreenView_; }
    QWidget* ClientArea() const { return client_; } // the 800 × 559 picture at its zoom
    QAction* menu_GrphCopy = nullptr;
    QAction* menu_GrphSave = nullptr;
    QAction* menu_CsvSave = nullptr;
    QAction* menu_TypedThrough = nullptr; // 入力途中の点も書き出す: checked, exports hold every point
    platform::DrawAreaView* picGrph = nullptr;
    QMenu* grphMenu = nullptr; // the graph's context menu
    QAction* menu_DataBook = nullptr; // 文献値で計算する: checked, lookups read the data-book table

    // ファイル → 印刷 (Ctrl+P): the system print dialog, then one A4 page of results.
    QAction* menu_Print = nullptr;
    void menu_Print_Click();
    // The page on printer as set up; false (and told) when it could not be printed.
    bool PrintResults(QPrinter& printer);
    // ヘルプ → 使い方: the teachers' guide, installed with the program, in the browser.
    QAction* menu_Guide = nullptr;
    void menu_Guide_Click();
    // The readout is said to a screen reader once it has stood this long: not at each
    // keystroke of a temperature typed, nor at each degree of a ramp.
    static constexpr int kAnnounceDelayMs = 700;
    // ヘルプ → キー操作 (F1): every key of the window, and the way on to the guide.
    QAction* menu_Keys = nullptr;
    void menu_Keys_Click();
    // 表示 → 分子の動きを止める (F8, the program's own key): checked while they stand still.
    QAction* menu_Motion = nullptr;
    // 表示 → 凡例を表示 and 点を形でも区別する (F2, the program's own key): remembered.
    QAction* menu_Legend = nullptr;
    QAction* menu_Markers = nullptr;
    graph::GraphLegend* grphLegend = nullptr;
    QLabel* redTitles_[2] = {};
    QPushButton* cmdMotion = nullptr; // stops and starts the molecules, as F8
    void ShowMotion(bool moving);
    void ShowTitleRed(bool darker);
    // The guide's page for a program in programDir; empty when none is installed.
    static QString GuidePath(const QString& programDir);
    // Opens a page in the user's browser; replaced by the tests.
    void SetUrlOpener(std::function<bool(const QUrl&)> open) { openUrl_ = std::move(open); }
    // Shows the program's notices (settings that gave way to defaults); replaced by the tests.
    mdlCommon::MessageBoxFn showNotice = mdlCommon::ShowWarning;
    // Remembers the folder a file was saved in, for the next save dialog.
    void RememberSaveFolder(const QString& folder);
    QString SaveFolder() const;

    // The container as shown: a picture over the program's field pixels.
    const QImage& FieldImage() const { return fieldView_->Picture(); }
    QWidget* FieldView() const { return fieldView_; }
    // Draws the program's field as it stands and shows it.
    void PaintField();
    graph::GraphPanel& Graph() { return graph_; }
    platform::TickTimer& Timer() { return *timer1_; }
    graph::GraphExport& Export() { return export_; }
    const framepace::Schedule& Pace() const { return shared_.program.Pace(); }
    // A key release the window has seen and not yet acted on.
    bool KeyReleasePending() const;
    // The clock the tick's schedule reads; set before StartTimer.
    void SetMonotonicClock(framepace::MonotonicClock clock) { shared_.program.SetClocks(clock_, std::move(clock)); }

    // Images of the picture buttons, as loaded from the resources.
    struct ButtonImages { QImage on, off; };
    const ButtonImages& SinarioImages() const { return sinarioImg_; }
    const ButtonImages& GrphSwImages() const { return grphSwImg_; }
    const ButtonImages& GrphClsImages() const { return grphClsImg_; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls(QWidget* client);
    void BuildMenu();
    void BuildLessonMenu(QMenu* file);
    void FillLessonMenu();
    void BuildExportMenu(QMenu* file);
    void BuildDataBookItem();
    // The unit and amount labels for the settings in force; the readout recomputed for them.
    void ShowUnitLabels();
    // What a screen reader is told: the readout once it settles, the field when its words
    // change, the graph's point stepped to.
    void AnnounceReadout();
    void DescribeField();
    void StepGraphPoint(platform::DrawAreaView::Step step);
    QWidget* MakeViewStage(QWidget* client);
    void BuildViewMenu();
    void ApplyZoom(int percent);
    void PlaceOnScreen();
    void FollowScreen();
    zoom::Size AvailableSpace() const;
    zoom::Chrome ViewChrome() const;
    // Shows what a call of the program changed, and sets the timer when it planned anew.
    void Apply(int changed);
    // The program's field picture at the view's zoom, shown over its pixels.
    void LayOutField(int percent);
    // Sets the timer for the next frame after anything that may change what it does.
    void Replan();

    SharedRecords& shared_;
    mdlSprite::TimeOfDayClock clock_;
    platform::PictureView* fieldView_ = nullptr;
    platform::DrawArea grphArea_;
    graph::GraphPanel graph_;
    graph::GraphExport export_;
    ButtonImages sinarioImg_, grphSwImg_, grphClsImg_;
    std::unique_ptr<platform::TickTimer> timer1_;
    bool inWake_ = false;
    std::unique_ptr<platform::KeyPreview> keyPreview_;
    bool ondoFromCode_ = false; // the temperature text is being written by the program
    bool ondoMarked_ = false;   // the box shows that its text is no temperature
    void MarkTemperature(bool refused);
    bool activatedOnce_ = false;

    // Projector view: the client area's controls as laid out at 100 %.
    struct DesignPlace {
        QWidget* widget;
        QRect rect;
        int fontPixels; // 0: the widget's font is not its own
    };
    std::vector<DesignPlace> design_;
    QWidget* client_ = nullptr;
    QWidget* stage_ = nullptr; // holds the client; the panel colour around it in full screen
    QAction* leaveFullScreen_ = nullptr; // Esc
    int viewZoom_ = 100;
    bool fullScreenView_ = false;
    std::function<bool(const QUrl&)> openUrl_;
    int windowZoom_ = 100;
    int menuBarDesign_ = 0; // the menu bar's height at 100 %
    bool popupTookEsc_ = false;
    QTimer* announceTimer_ = nullptr; // the readout is said once it has stood this long
    std::optional<std::size_t> graphPoint_; // the point stepped to on the graph
};
