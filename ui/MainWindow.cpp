#include "MainWindow.h"

#include "AboutWindow.h"
#include "AppIcons.h"
#include "ChoiceControls.h"
#include "EnterClicks.h"
#include "InputBlocker.h"
#include "MainMenu.h"
#include "MoreConditionsDialog.h"
#include "OperationRules.h"
#include "OptionReading.h"
#include "ProblemTypes.h"
#include "SheetPaper.h"
#include "WindowSheetFolder.h"
#include "WindowRunServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace sumlark::ui {
namespace {

// The size of interface font the twips were drawn for.
constexpr double kDrawnFontPoints = 9.0;

// The client area, in twips.
constexpr int kClientWidth = 3915;
constexpr int kClientHeight = 5805;

QComboBox* makeList(QWidget* parent, const char* name, const QString& toolTip, bool editable)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setToolTip(toolTip);
    list->setAccessibleName(toolTip);
    if (editable) {
        // Made editable by its own call, a list builds its popup (list view,
        // scroll bars, delegates) at once; handed its edit field instead, it
        // builds the popup when first opened, which keeps 0.45 MB of Qt
        // Widgets out of every start.
        list->setLineEdit(new QLineEdit(list));
        takeTypedText(list);
    }
    return list;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text, bool checked)
{
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setChecked(checked);
    return check;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& toolTip)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    return button;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      folder_(sheetFolder())
{
    setObjectName(QStringLiteral("frm100"));
    setWindowTitle(QStringLiteral("Sumlark-Tavrel"));
    setWindowIcon(programIcon());

    // The client area, exactly as it was before the window had a menu bar.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    setCentralWidget(client);
    createControls();
    addMainMenu(this);
    connect(cmbType, &QComboBox::currentIndexChanged, this, &MainWindow::cmbType_Click);
    connect(cmdCreate, &QPushButton::clicked, this, &MainWindow::cmdCreate_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &MainWindow::cmdHelp_Click);
    connect(cmdExit, &QPushButton::clicked, this, &MainWindow::cmdExit_Click);

    auto* enterClicks = new EnterClicks(this);
    for (QPushButton* button : {cmdCreate, cmdHelp, cmdExit})
        enterClicks->add(button);

    Form_Load();
    applyGeometry();
    applyTabOrder();
    cmbFW1->setFocus();
}

MainWindow::~MainWindow()
{
    // The About window has no owner, so it would outlive the main window.
    delete about_;
}

void MainWindow::createControls()
{
    QWidget* const client = centralWidget();
    Frame2 = makeFrame(client, "Frame2", QStringLiteral("出数范围"));
    cmbFW1 = makeList(Frame2, "cmbFW1", QStringLiteral("出题最小数"), true);
    Label1 = makeLabel(Frame2, "Label1", QStringLiteral("-"));
    cmbFW2 = makeList(Frame2, "cmbFW2", QStringLiteral("出题最大数（同时也是结果的最大值，乘法除外）"), true);

    Frame1 = makeFrame(client, "Frame1", QStringLiteral("题型（2位数）"));
    cmbType = makeList(Frame1, "cmbType", QStringLiteral("题目类型"), false);
    ckCF = makeCheck(Frame1, "ckCF", QStringLiteral("允许除法有余数(表示为...余数）"), false);

    Frame4 = makeFrame(client, "Frame4", QStringLiteral("生成选项"));
    cmbTS = makeList(Frame4, "cmbTS", QStringLiteral("生成题数"), true);
    Label2 = makeLabel(Frame4, "Label2", QStringLiteral("题"));
    cmbLS = makeList(Frame4, "cmbLS", QStringLiteral("每行题数"), true);
    Label3 = makeLabel(Frame4, "Label3", QStringLiteral("题/行"));
    ckXH = makeCheck(Frame4, "ckXH", QStringLiteral("打印题目序号"), false);

    Frame3 = makeFrame(client, "Frame3", QStringLiteral("生成格式"));
    opTXT = new QRadioButton(QStringLiteral("txt格式文件"), Frame3);
    opTXT->setObjectName(QStringLiteral("opTXT"));
    opTXT->setToolTip(QStringLiteral("保存为txt格式"));
    opTXT->setChecked(true);
    opCSV = new QRadioButton(QStringLiteral("csv格式文件"), Frame3);
    opCSV->setObjectName(QStringLiteral("opCSV"));
    // Only text sheets are written; the choice is shown but never offered.
    opCSV->setEnabled(false);

    ckDA = makeCheck(client, "ckDA", QStringLiteral("同时生成答案文件"), true);
    ckOpen = makeCheck(client, "ckOpen", QStringLiteral("自动打开文件"), true);

    cmdCreate = makeButton(client, "cmdCreate", QStringLiteral("生成"), QStringLiteral("开始生成题目"));
    cmdHelp = makeButton(client, "cmdHelp", QString(), QStringLiteral("版本及帮助信息"));
    cmdHelp->setIcon(helpIcon());
    cmdExit = makeButton(client, "cmdExit", QStringLiteral("结束"), QStringLiteral("退出程序"));

    layout_.place(Frame2, 120, 120, 3615, 855);
    layout_.place(cmbFW1, 240, 360, 1335, 300);
    layout_.place(Label1, 1680, 480, 135, 135);
    layout_.place(cmbFW2, 1920, 360, 1455, 300);
    layout_.place(Frame1, 120, 1080, 3615, 1215);
    layout_.place(cmbType, 240, 360, 3135, 300);
    layout_.place(ckCF, 240, 720, 3135, 375);
    layout_.place(Frame4, 120, 2400, 3615, 1215);
    layout_.place(cmbTS, 240, 360, 1215, 300);
    layout_.place(Label2, 1560, 405, 375, 255);
    layout_.place(cmbLS, 1920, 360, 975, 300);
    layout_.place(Label3, 3000, 405, 495, 255);
    layout_.place(ckXH, 240, 840, 1695, 255);
    layout_.place(Frame3, 120, 3720, 3615, 855);
    layout_.place(opTXT, 120, 360, 1575, 255);
    layout_.place(opCSV, 1920, 360, 1455, 255);
    layout_.place(ckDA, 120, 4680, 1935, 255);
    layout_.place(ckOpen, 2280, 4680, 1455, 255);
    layout_.place(cmdCreate, 120, 5040, 975, 495);
    layout_.place(cmdHelp, 1680, 5040, 495, 495);
    layout_.place(cmdExit, 2760, 5040, 975, 495);
}

void MainWindow::applyTabOrder()
{
    QWidget* const order[] = {cmbFW1, opTXT, opCSV, cmdCreate, cmdExit, ckDA, cmbFW2,
                              cmbTS,  ckOpen, cmbType, cmbLS, cmdHelp, ckXH, ckCF};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainWindow::applyGeometry()
{
    // The asked-for size, not the one the pixel grid rounded it to; a font
    // given in pixels only has the latter.
    const double points = font().pointSizeF() > 0 ? font().pointSizeF() : QFontInfo(font()).pointSizeF();
    const double fontScale = points / kDrawnFontPoints;
    scale_ = layout_.fittingScale(std::max(1.0, fontScale));
    layout_.apply(scale_);
    cmdHelp->setIconSize(QSize(32, 32) * scale_);
    centralWidget()->setFixedSize(TwipsLayout::toPixels(kClientWidth, scale_),
                                  TwipsLayout::toPixels(kClientHeight, scale_));
    // The window is the client area and the menu bar, no more and no less.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::Form_Load()
{
    fillSuggestions(cmbFW1, Choice::Smallest);
    fillSuggestions(cmbFW2, Choice::Largest);
    fillSuggestions(cmbTS, Choice::Count);
    fillTypes(cmbType);
    // Adding the first item selected it and so already ran cmbType_Click.
    cmbType->setCurrentIndex(0);
    fillSuggestions(cmbLS, Choice::PerLine);
}

void MainWindow::cmbType_Click()
{
    // Only the enabled state follows the type; a tick the user set stays and
    // still goes to the run.
    ckCF->setEnabled(typeHasOperation(static_cast<ProblemType>(cmbType->currentIndex()), Operation::Division));
}

WorksheetSettings MainWindow::settingsFromControls() const
{
    WorksheetSettings settings;
    settings.problemType = static_cast<ProblemType>(cmbType->currentIndex());
    settings.typeText = cmbType->currentText().toStdString();
    settings.countText = cmbTS->currentText().toStdString();
    settings.perLineText = cmbLS->currentText().toStdString();
    settings.smallestText = cmbFW1->currentText().toStdString();
    settings.largestText = cmbFW2->currentText().toStdString();
    settings.numbered = ckXH->isChecked();
    settings.writeAnswers = ckDA->isChecked();
    settings.allowRemainder = ckCF->isChecked();
    settings.openWhenDone = ckOpen->isChecked();
    return settings;
}

wording::OptionChoices MainWindow::choicesShown() const
{
    wording::OptionChoices chosen;
    // 自动打开文件 is how this window ends a run, no choice of the sheets'.
    const bool opens = chosen.settings.openWhenDone;
    chosen.settings = settingsFromControls();
    chosen.settings.openWhenDone = opens;
    chosen.constraints = conditions_.constraints;
    chosen.seed = conditions_.seed;
    chosen.sheets = conditions_.sheets;
    chosen.className = conditions_.className;
    chosen.page = {conditions_.page.paper, conditions_.page.fontSize, conditions_.page.layout, conditions_.page.duplex};
    chosen.heading = conditions_.heading;
    chosen.moreSections = windowRequest(chosen.settings, conditions_).moreSections;
    return chosen;
}

void MainWindow::showChoices(const wording::OptionChoices& chosen)
{
    const WorksheetSettings& settings = chosen.settings;
    cmbType->setCurrentIndex(static_cast<int>(settings.problemType));
    showText(cmbFW1, settings.smallestText);
    showText(cmbFW2, settings.largestText);
    showText(cmbTS, settings.countText);
    showText(cmbLS, settings.perLineText);
    ckXH->setChecked(settings.numbered);
    ckDA->setChecked(settings.writeAnswers);
    ckCF->setChecked(settings.allowRemainder);
    conditions_.constraints = chosen.constraints;
    conditions_.seed = chosen.seed;
    conditions_.sheets = chosen.sheets;
    conditions_.className = chosen.className;
    conditions_.page = pdf::PageStyle::of(chosen.page);
    conditions_.heading = chosen.heading;
    conditions_.moreSections = chosen.moreSections;
    markMoreConditions(this, conditions_);
}

RunServices& MainWindow::services()
{
    // The window's own are made when first used: choosing the sheets'
    // encoding writes a sheet's texts, engine code no start needs.
    if (services_)
        return *services_;
    if (!ownServices_)
        ownServices_ = std::make_unique<WindowRunServices>(this);
    return *ownServices_;
}

void MainWindow::tell(const std::string& title, const std::string& text)
{
    services().showMessage(title, text);
}

void MainWindow::setRunServices(RunServices* services)
{
    services_ = services;
}

void MainWindow::setOutputFolder(const QString& folder)
{
    folder_ = folder;
}

std::string MainWindow::nativeFolder() const
{
    return QDir::toNativeSeparators(folder_).toStdString();
}

bool MainWindow::haveSheetFolder()
{
    const std::optional<std::string> failure = makeSheetFolder(folder_);
    if (failure)
        services().showMessage("保存失败", *failure);
    return !failure;
}

void MainWindow::cmdCreate_Click()
{
    const WorksheetSettings settings = settingsFromControls();
    const InputBlocker busy(this);
    // The documents subfolder comes into being with its first sheets; if it
    // cannot, the user is told where and why instead of a run.
    if (!haveSheetFolder())
        return;
    lastRun_ = runFromWindow(windowRequest(settings, conditions_), nativeFolder(), services(), Completion::Take);
    if (lastRun_)
        lastSeed_ = lastRun_->report.seed;
}

const WindowRun* MainWindow::sheetsForPaper()
{
    const RunRequest request = windowRequest(settingsFromControls(), conditions_);
    if (lastRun_ && lastRun_->madeFrom(request))
        return &*lastRun_;
    const InputBlocker busy(this);
    if (!haveSheetFolder())
        return nullptr;
    lastRun_ = runFromWindow(request, nativeFolder(), services(), Completion::Skip);
    if (!lastRun_)
        return nullptr;
    lastSeed_ = lastRun_->report.seed;
    return &*lastRun_;
}

void MainWindow::printSheets()
{
    if (const WindowRun* run = sheetsForPaper())
        sumlark::ui::printSheets(this, printing_, run->sheets, conditions_.page, services());
}

void MainWindow::exportPdf()
{
    if (const WindowRun* run = sheetsForPaper())
        exportSheetPdfs(this, folder_, run->sheets, conditions_.page, services());
}

void MainWindow::openSheetFolder()
{
    // An installed copy's folder only comes with its first sheets; it is
    // made here so that there is something to show.
    if (!haveSheetFolder())
        return;
    if (!services().showFolder(nativeFolder()))
        services().showMessage("无法打开文件夹", "练习纸所在的文件夹是：" + nativeFolder());
}

void MainWindow::showMoreConditions()
{
    MoreConditionsDialog dialog(conditions_, lastSeed_, this);
    if (dialog.exec() == QDialog::Accepted) {
        conditions_ = dialog.conditions();
        markMoreConditions(this, conditions_);
    }
}

void MainWindow::cmdHelp_Click()
{
    if (about_) {
        // Already open, perhaps behind the main window: bring it forward.
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new AboutWindow();
    // Closing the About window hands the keyboard back here, as the window
    // system would; without a window manager nobody else would.
    connect(about_, &QObject::destroyed, this, [this] {
        if (isVisible())
            activateWindow();
    });
    about_->show();
}

void MainWindow::cmdExit_Click()
{
    if (about_)
        about_->close();
    close();
    QCoreApplication::quit();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(placed_, true))
        placeNewWindow(this);
}

} // namespace sumlark::ui
