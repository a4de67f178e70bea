#include "AboutWindow.h"

#include "AppIcons.h"
#include "SumlarkVersion.h"

#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

#include <utility>

namespace sumlark::ui {
namespace {

constexpr int kClientWidth = 7380;
constexpr int kClientHeight = 4245;

// 宋体 where it is installed; otherwise a CJK font the system has, so the
// Chinese text does not fall back glyph by glyph into mismatched fonts.
QFont songTi(double points, QFont::Weight weight)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("Droid Sans Fallback")});
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A click on a label must not count as a click on the frame beneath it.
    label->setAttribute(Qt::WA_NoMousePropagation);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window does not keep the program alive by default; this one does,
    // so closing the main window first ends the program only when this closes.
    setAttribute(Qt::WA_QuitOnClose);
    setWindowIcon(programIcon());

    createControls();
    Form_Load();
    applyGeometry();

    connect(cmdOK, &QPushButton::clicked, this, &AboutWindow::cmdOK_Click);
    const auto children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
    cmdOK->setFocus();
}

void AboutWindow::createControls()
{
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    const QFont regular = songTi(10.5, QFont::Normal);

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(programIcon().pixmap(32, 32));
    imgLogo->setScaledContents(true);
    imgLogo->setAttribute(Qt::WA_NoMousePropagation);

    lblCompanyProduct = makeLabel(Frame1, "lblCompanyProduct", QStringLiteral("小学Sumlark"), songTi(18, QFont::Bold));
    lblVersion = makeLabel(Frame1, "lblVersion", QString(), songTi(12, QFont::Bold));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);

    lblWarning = makeLabel(Frame1, "lblWarning",
                           QStringLiteral("使用方法：本软件将为你随机产生二位数的加、减、乘、除法。生成数字范围及类型可以指定，"
                                          "本软件并不能完成四则混合运算的生成，只是单纯的加减乘除法。条件指定后点击【生成】"
                                          "即可自动生成并保存到文件。同时可以生成答案纸供参考。"),
                           regular);
    lblWarning->setWordWrap(true);
    lblCopyright = makeLabel(Frame1, "lblCopyright",
                             QStringLiteral("关于输出格式问题：因此软件是直接写到TXT文件(与软件同目录)的，所以并不能指定字体，"
                                            "如果觉得字体太小，可以选定生成合适的行数后，将其复制到Word等编辑软件中进行编辑后"
                                            "再打印输出。合适的经验是，在Word中，字体为四号，输出选5列，Word页面设置中，"
                                            "左右设为2厘米就可以生成5x22=110题的样式，间距大小比较适合儿童使用。"),
                             regular);
    lblCopyright->setWordWrap(true);

    lblLicenseTo = makeLabel(Frame1, "lblLicenseTo", QStringLiteral("本软件免费使用，可以自由复制给他人，请勿出售。"), regular);
    setTextColour(lblLicenseTo, QColor(255, 0, 0));
    lblCompany = makeLabel(Frame1, "lblCompany", QStringLiteral("Sumlark 开发小组编写，愿孩子们越算越快、越算越准。"),
                           regular);
    setTextColour(lblCompany, QColor(0, 0, 255));

    cmdOK = new QPushButton(QStringLiteral("OK"), Frame1);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));

    using Sizing = TwipsLayout::Sizing;
    layout_.place(Frame1, 120, 60, 7080, 4050);
    layout_.place(imgLogo, 360, 240, 495, 585);
    layout_.place(lblCompanyProduct, 1320, 240, 3000, 360, Sizing::ToText);
    layout_.place(lblVersion, 4710, 360, 1320, 240, Sizing::ToText);
    layout_.place(lblWarning, 120, 1080, 6765, 915);
    layout_.place(lblCopyright, 120, 2040, 6735, 1095);
    layout_.place(lblLicenseTo, 120, 3360, 5415, 255);
    layout_.place(lblCompany, 120, 3720, 5775, 255);
    layout_.place(cmdOK, 6240, 3480, 615, 375);
}

void AboutWindow::applyGeometry()
{
    const double scale = layout_.fittingScale(1.0);
    layout_.apply(scale);
    setFixedSize(TwipsLayout::toPixels(kClientWidth, scale), TwipsLayout::toPixels(kClientHeight, scale));
}

void AboutWindow::Form_Load()
{
    lblVersion->setText(QStringLiteral("版本 ") + QString::number(version::kMajor) + QLatin1Char('.')
                        + QString::number(version::kMinor) + QLatin1Char('.') + QString::number(version::kRevision));
}

void AboutWindow::cmdOK_Click()
{
    close();
}

void AboutWindow::Form_KeyPress()
{
    close();
}

void AboutWindow::Frame1_Click()
{
    close();
}

bool AboutWindow::typesCharacter(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
        return true;
    // These carry a control character on some platforms but type nothing.
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return !key.text().isEmpty();
    }
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees a key before the focused button does, so Space and
    // Enter close it rather than press OK, and Escape needs no shortcut.
    if (event->type() == QEvent::KeyPress && typesCharacter(*static_cast<QKeyEvent*>(event))) {
        Form_KeyPress();
        return true;
    }
    if (watched == Frame1 && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        // A click is a press and a release of the left button on the frame.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return QWidget::eventFilter(watched, event);
        if (event->type() == QEvent::MouseButtonPress) {
            frameArmed_ = true;
            return true;
        }
        if (frameArmed_) {
            frameArmed_ = false;
            if (Frame1->rect().contains(mouse->position().toPoint()))
                Frame1_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (typesCharacter(*event))
        Form_KeyPress();
    else
        QWidget::keyPressEvent(event);
}

void AboutWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Without a title bar the window still wants the raised edge of a
    // fixed dialog frame, or it melts into whatever lies behind it.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void AboutWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!std::exchange(placed_, true))
        placeNewWindow(this);
}

} // namespace sumlark::ui
