#pragma once

#include "AboutWindow.h"
#include "MoreConditions.h"
#include "PrintSupport.h"
#include "TwipsLayout.h"
#include "WindowRun.h"
#include "WorksheetSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace sumlark {
class RunServices;
}
namespace sumlark::wording {
struct OptionChoices;
}

namespace sumlark::ui {

class WindowRunServices;

// frm100: the lists and switches of one worksheet and the buttons that make
// it, show the About window and end the program, in the client area; above
// it a menu bar that prints the sheets, exports them as PDF and offers the
// conditions the client area has no room for. The window computes nothing
// itself; it hands what the controls show to the run.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The services a run uses; null restores the window's own (real editor,
    // real message box).
    void setRunServices(RunServices* services);
    // Where the sheets go: sheetFolder() unless changed.
    void setOutputFolder(const QString& folder);
    QString outputFolder() const { return folder_; }

    // The record a press of Create hands to the run, from what the controls
    // show right now.
    WorksheetSettings settingsFromControls() const;
    // The choices of the controls and of 更多出题条件, the sheet's sections
    // too, as the command line holds them, for a plan; the list of names is
    // whom they are for, no plan's.
    wording::OptionChoices choicesShown() const;
    // Shows chosen in the controls and among the 更多出题条件 choices, the
    // first section in the controls and the rest in 分段; the list of names
    // and 自动打开文件 stay as they are.
    void showChoices(const wording::OptionChoices& chosen);
    // A box with title and text, shown through the run's services.
    void tell(const std::string& title, const std::string& text);
    // The sheets of the last run, kept for printing while the choices stay.
    const std::optional<WindowRun>& lastRun() const { return lastRun_; }

    AboutWindow* aboutWindow() const { return about_; }
    double layoutScale() const { return scale_; }

public slots:
    void Form_Load();
    void cmbType_Click();
    void cmdCreate_Click();
    void cmdHelp_Click();
    void cmdExit_Click();
    void printSheets();
    void exportPdf();
    void openSheetFolder();
    void showMoreConditions();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void applyTabOrder();
    void applyGeometry();
    // The sheets the window's choices make now: the last run's while the
    // choices are its own, else those of a new run without its completion.
    const WindowRun* sheetsForPaper();
    std::string nativeFolder() const;
    // Makes the sheet folder if it is missing; false, the user told why,
    // when it cannot be had.
    bool haveSheetFolder();

    QGroupBox* Frame2 = nullptr;
    QComboBox* cmbFW1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbFW2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QComboBox* cmbType = nullptr;
    QCheckBox* ckCF = nullptr;
    QGroupBox* Frame4 = nullptr;
    QComboBox* cmbTS = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cmbLS = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* ckXH = nullptr;
    QGroupBox* Frame3 = nullptr;
    QRadioButton* opTXT = nullptr;
    QRadioButton* opCSV = nullptr;
    QCheckBox* ckDA = nullptr;
    QCheckBox* ckOpen = nullptr;
    QPushButton* cmdCreate = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdExit = nullptr;

    TwipsLayout layout_;
    double scale_ = 1.0;
    bool placed_ = false;

    // The services runs use: those set, else the window's own.
    RunServices& services();
    std::unique_ptr<WindowRunServices> ownServices_;
    RunServices* services_ = nullptr;
    QString folder_;
    MoreConditions conditions_;
    std::optional<WindowRun> lastRun_;
    std::optional<std::uint64_t> lastSeed_;
    PrintSupport printing_;

    QPointer<AboutWindow> about_;
};

} // namespace sumlark::ui
