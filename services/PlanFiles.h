#pragma once

// Sheet plans on disk (PlanOptions.h): the user's own, saved by name in
// plans/ under the user's configuration folder (~/.config/sumlark/plans on
// Linux), and the ready-made ones installed with the program. A plan file
// is read whole or refused with the reason; one is saved as every sheet is,
// written whole and synced before it replaces the plan of its name.

#include "PlanOptions.h"
#include "RunServices.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace sumlark {

// Far more than any plan of ten sections needs; a larger file is no plan.
inline constexpr qint64 kMaxPlanFileBytes = 256 * 1024;

struct NamedPlan {
    QString name; // the file's name without ".json"
    QString path;
    bool shipped = false;
};

// The user's plans, then the ready-made ones whose names the user has not
// taken, each sorted by name.
std::vector<NamedPlan> listPlans();

// What --plan X names: the file X when it holds "/" or ends in ".json",
// else the plan named X, the user's before a ready-made one; empty when there
// is no plan of that name.
QString planPath(const QString& given);

// The plan in a file, or none and why not in the user's words.
std::optional<wording::PlanText> readPlanFile(const QString& path, std::string& reason);

// Why name cannot name a saved plan (a path, a hidden file, control
// characters); empty when it can.
std::string planNameProblem(const std::string& name);

// Saves plan as name among the user's plans.
FileStatus savePlan(const std::string& name, const wording::PlanText& plan);

} // namespace sumlark
