#include "PlanFiles.h"

#include "PathBytes.h"
#include "ProgramModule.h"
#include "SheetFolder.h"
#include "SmallFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>

namespace sumlark {
namespace {

const QString kSuffix = QStringLiteral(".json");
const QString kSections = QStringLiteral("sections");
const QString kHeading = QStringLiteral("heading");

QString savedPlansFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("sumlark/plans"));
}

// Beside the program in the build tree and on Windows, else where an
// installation puts them.
QString shippedPlansFolder()
{
    const QString program = programFolder();
    if (program.isEmpty())
        return {};
    if (const QString beside = QDir(program).filePath(QStringLiteral("plans")); QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(QDir(program).filePath(QStringLiteral(SUMLARK_PLANS_FROM_PROGRAM)));
}

std::vector<NamedPlan> plansIn(const QString& folder, bool shipped)
{
    std::vector<NamedPlan> plans;
    if (folder.isEmpty())
        return plans;
    const QDir dir(folder);
    for (const QString& file : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        plans.push_back({file.chopped(kSuffix.size()), dir.filePath(file), shipped});
    return plans;
}

// The line and column of a byte offset, as an editor shows them.
std::string placeIn(const QByteArray& bytes, qsizetype offset)
{
    const QByteArray before = bytes.left(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    const qsizetype column = QString::fromUtf8(before.mid(lineStart)).size() + 1;
    return "第 " + std::to_string(before.count('\n') + 1) + " 行第 " + std::to_string(column) + " 个字附近";
}

// One object's options; "where" names it in a reply. Values are strings, a
// switch is true; false turns nothing on and is kept out.
std::optional<std::vector<wording::PlanEntry>> entriesOf(const QJsonObject& object, const std::string& where,
                                                          bool top, std::string& reason)
{
    std::vector<wording::PlanEntry> entries;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if ((top && it.key() == kSections) || (!top && it.key() == kHeading))
            continue;
        const std::string key = it.key().toStdString();
        if (it.value().isString())
            entries.push_back({key, it.value().toString().toStdString()});
        else if (it.value().isBool() && it.value().toBool())
            entries.push_back({key, {}});
        else if (!it.value().isBool()) {
            reason = where + "的 " + key + " 要写成字符串（加引号），开关写成 true";
            return std::nullopt;
        }
    }
    return entries;
}

} // namespace

std::vector<NamedPlan> listPlans()
{
    std::vector<NamedPlan> plans = plansIn(savedPlansFolder(), false);
    for (NamedPlan& plan : plansIn(shippedPlansFolder(), true)) {
        if (std::none_of(plans.begin(), plans.end(), [&](const NamedPlan& saved) { return saved.name == plan.name; }))
            plans.push_back(std::move(plan));
    }
    return plans;
}

QString planPath(const QString& given)
{
    if (given.contains(QLatin1Char('/')) || given.contains(QLatin1Char('\\')) || given.endsWith(kSuffix))
        return given;
    for (const NamedPlan& plan : listPlans()) {
        if (plan.name == given)
            return plan.path;
    }
    return {};
}

std::optional<wording::PlanText> readPlanFile(const QString& path, std::string& reason)
{
    const std::optional<QByteArray> read = readSmallFile(path, kMaxPlanFileBytes, "一个方案", reason);
    if (!read)
        return std::nullopt;
    const QByteArray& bytes = *read;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        reason = error.error == QJsonParseError::DeepNesting ? "括号套得太深，不是方案"
                                                              : "不是 JSON 格式（" + placeIn(bytes, error.offset) + "）";
        return std::nullopt;
    }
    if (!document.isObject()) {
        reason = "方案要是一个用 { } 括起来的 JSON 对象";
        return std::nullopt;
    }
    const QJsonObject top = document.object();
    wording::PlanText plan;
    const auto wide = entriesOf(top, "方案", true, reason);
    if (!wide)
        return std::nullopt;
    plan.wide = *wide;
    if (top.contains(kSections)) {
        const QJsonValue sections = top.value(kSections);
        if (!sections.isArray() || sections.toArray().isEmpty()) {
            reason = "sections 要是一段或几段的列表：[{…}, {…}]";
            return std::nullopt;
        }
        for (const QJsonValue& value : sections.toArray()) {
            const std::string where = "方案第 " + std::to_string(plan.sections.size() + 1) + " 段";
            const QJsonValue heading = value.toObject().value(kHeading);
            if (!value.isObject() || !(heading.isUndefined() || heading.isString())) {
                reason = where + (value.isObject() ? "的 heading 要写成字符串" : "要是一个用 { } 括起来的对象");
                return std::nullopt;
            }
            const auto options = entriesOf(value.toObject(), where, false, reason);
            if (!options)
                return std::nullopt;
            plan.sections.push_back({heading.toString().toStdString(), *options});
        }
    }
    return plan;
}

std::string planNameProblem(const std::string& name)
{
    const QString text = QString::fromStdString(name);
    if (text.trimmed().isEmpty())
        return "方案的名字不能是空的";
    if (text.startsWith(QLatin1Char('.')) || text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('\\')))
        return "方案的名字不能以“.”开头，也不能有“/”或“\\”";
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }))
        return "方案的名字里不能有控制字符";
    if (text.size() > 60)
        return "方案的名字太长了，最多 60 个字";
    return {};
}

FileStatus savePlan(const std::string& name, const wording::PlanText& plan)
{
    const auto object = [](const std::vector<wording::PlanEntry>& entries) {
        QJsonObject json;
        for (const wording::PlanEntry& entry : entries) {
            const QString key = QString::fromStdString(entry.key);
            const bool isSwitch = entry.value.empty();
            json.insert(key, isSwitch ? QJsonValue(true) : QJsonValue(QString::fromStdString(entry.value)));
        }
        return json;
    };
    QJsonObject top = object(plan.wide);
    if (!plan.sections.empty()) {
        QJsonArray sections;
        for (const wording::PlanSection& section : plan.sections) {
            QJsonObject json = object(section.options);
            if (!section.heading.empty())
                json.insert(kHeading, QString::fromStdString(section.heading));
            sections.append(json);
        }
        top.insert(kSections, sections);
    }
    const QString folder = savedPlansFolder();
    if (const int error = makeFolders(folder); error != 0)
        return FileStatus::failure("放方案的文件夹 " + bytesOfPath(folder) + " 建不起来");
    std::string reason;
    const auto locked = SheetFolder::open(folder, reason);
    if (!locked)
        return FileStatus::failure(reason);
    const auto file = locked->stage(QString::fromStdString(name) + kSuffix, reason);
    if (!file)
        return FileStatus::failure(reason);
    file->write(QJsonDocument(top).toJson(QJsonDocument::Indented));
    return file->commit();
}

} // namespace sumlark
