#include "NamesDialog.h"

#include "NamesFile.h"
#include "PathBytes.h"
#include "PupilNames.h"
#include "ShownText.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sumlark::ui {

NamesDialog::NamesDialog(const std::vector<std::string>& given, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmNames"));
    setWindowTitle(QStringLiteral("名单"));

    text_ = new QPlainTextEdit;
    showNames(given);
    text_->setObjectName(QStringLiteral("txtNames"));
    text_->setToolTip(QStringLiteral("一行一个名字，可以从表格里整列复制过来；空行和名字前后的空格不算"));
    // Tab moves on to the buttons rather than into a name.
    text_->setTabChangesFocus(true);
    // About a class's worth of short names in view, without a scroll for the width.
    text_->setMinimumSize(text_->fontMetrics().horizontalAdvance(QString(16, QChar(0x4E2D))),
                          text_->fontMetrics().lineSpacing() * 16);

    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("lblNamesCount"));
    const auto countNames = [this] {
        const std::size_t count = names().size();
        count_->setText(count == 0 ? QStringLiteral("名单是空的：按份数出题") : QStringLiteral("共 %1 人，每人一份").arg(count));
    };
    countNames();
    connect(text_, &QPlainTextEdit::textChanged, this, countNames);

    auto* read = new QPushButton(QStringLiteral("从文件读入…"));
    read->setObjectName(QStringLiteral("cmdReadNames"));
    read->setToolTip(QStringLiteral("读入一个名单文件（.txt，UTF-8 或 GBK），一行一个名字；读入的名字换掉框里原有的"));
    read->setAutoDefault(false);
    connect(read, &QPushButton::clicked, this, &NamesDialog::readFile);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* under = new QHBoxLayout;
    under->addWidget(read);
    under->addStretch(1);
    under->addWidget(buttons);
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("每行一个名字，每人一份练习：")));
    column->addWidget(text_, 1);
    column->addWidget(count_);
    column->addLayout(under);
    text_->setFocus();
}

std::vector<std::string> NamesDialog::names() const
{
    return namesOfText(text_->toPlainText().toStdString());
}

void NamesDialog::readFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("读入名单"), QString(),
                                                      QStringLiteral("文本文件 (*.txt);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    std::string reason;
    const std::optional<std::string> text = readNamesFile(path, reason);
    if (!text) {
        const std::string shown = shownPath(bytesOfPath(QDir::toNativeSeparators(path)));
        QMessageBox::warning(this, windowTitle(),
                             QString::fromStdString("名单没有读入。\n文件：" + shown + "\n原因：" + reason));
        return;
    }
    showNames(namesOfText(*text));
}

void NamesDialog::showNames(const std::vector<std::string>& names)
{
    QString lines;
    for (const std::string& name : names)
        lines += QString::fromStdString(name) + QLatin1Char('\n');
    text_->setPlainText(lines);
}

} // namespace sumlark::ui
