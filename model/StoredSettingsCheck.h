// Whether the settings read from a movie's stored record make sense. A
// record damaged by another tool or a bad disk still reads field by field,
// so values no editor could have made are caught here before they reach the
// compressor.
#pragma once

#include <string>

class CTambleDocModel;

// "" when the model's stored settings are usable; otherwise what is wrong,
// as a phrase for a message ("a rotation of 77 degrees").
std::string FindStoredSettingsProblem(const CTambleDocModel& model);

// The phrase for an exception met while reading a record.
std::string DescribeRecordReadFailure(int code, const std::string& what);
