#pragma once
// The records of a classified line as one-line JSON objects, keys in a fixed order, absent keys
// left out: {"lineRange":[0,3],"type":"hr","strRange":[0,3]}.

#include "engine/Records.h"

#include <string>

namespace quillet::convert {

std::string toJson(const RangeDict& record);
std::string toJson(const BlockDict& record);
std::string toJson(const SpanDict& record);

void appendJson(std::string& out, const RangeDict& record);
void appendJson(std::string& out, const BlockDict& record);
void appendJson(std::string& out, const SpanDict& record);

} // namespace quillet::convert
