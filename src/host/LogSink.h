// Where the host side writes what it did to a host: the migration log's
// detail lines. The host layer knows no log file; its callers give it one.
#pragma once

#include <string>

class LogSink {
  public:
    virtual ~LogSink() = default;
    // One detail line (the sink indents it).
    virtual void LogDetail(const std::wstring& text) = 0;
};
