#pragma once

// What a refusal says: the title of its message and, for each reason the
// run planner finds, the sentence that names the setting and tells the user
// what to change. Typed values are shown escaped and cut (ShownText.h).

#include "OperationRules.h"
#include "ProblemConstraints.h"
#include "WorksheetSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sumlark::refusals {

inline constexpr std::string_view kTitle = "无法生成";

std::string unknownType();
std::string countNotANumber(const WorksheetSettings& settings);
std::string countTooLarge(const WorksheetSettings& settings);
std::string smallestNotANumber(const WorksheetSettings& settings);
std::string largestNotANumber(const WorksheetSettings& settings);
std::string rangeOutOf16Bits(const WorksheetSettings& settings);

// Carry and borrow rules asked of a type or range that cannot have them.
std::string carryWithoutAddition(const WorksheetSettings& settings, const ProblemConstraints& constraints);
std::string borrowWithoutSubtraction(const WorksheetSettings& settings, const ProblemConstraints& constraints);
std::string digitsBelowZero(const WorksheetSettings& settings);

// Why an operation can never make a problem in the range; and why one that
// the range allows makes none under the carry or borrow rule. Empty when
// that operation is not the cause.
std::string impossibleReason(Operation operation, const WorksheetSettings& settings);
std::string digitRuleReason(Operation operation, const WorksheetSettings& settings,
                            const ProblemConstraints& constraints);

// The refusals of settings that can make too few problems or make them too
// slowly; reasons are those above, joined.
std::string noProblem(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                      const std::string& reasons);
std::string tooFewDistinct(const WorksheetSettings& settings, const ProblemConstraints& constraints,
                           std::int64_t distinct, int count);

// Problem forms asked of settings that cannot have them.
std::string threeTermsNeedAdditionOrSubtraction(const WorksheetSettings& settings);
// which: "第一个数", "第二个数" or "得数".
std::string rangeReversed(std::string_view which, const WholeRange& range);
std::string rangeOutOfLimits(std::string_view which, const WholeRange& range, std::int64_t lowest,
                             std::int64_t highest);
std::string ownRangeBelowZero(std::string_view which, const WholeRange& range);
std::string noFormedProblem(const WorksheetSettings& settings, const ProblemConstraints& constraints);

// Why the column form cannot print these problems: it stacks two numbers
// above a rule with the answer beneath, so it has no place for a blank
// operand or a third number. Nothing when it can. Named in the words of the
// 更多出题条件 dialog, or of the command line's options.
enum class ChoiceWords { Dialog, CommandLine };
std::optional<std::string> columnFormRefusal(const ProblemConstraints& constraints,
                                             ChoiceWords words = ChoiceWords::Dialog);

} // namespace sumlark::refusals
