#include "app/file_log.h"

#include <cstdio>
#include <cstdlib>

static void AppendFileLine(LogSink* sink, const char* line)
{
    FILE* file = static_cast<FILE*>(sink->context);
    // One call per line: the stream's own lock keeps lines of the job thread and the
    // window's thread whole.
    fprintf(file, "%s\r\n", line);
    fflush(file);
}

LogSink* OpenFileLog(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return nullptr;
    FILE* file = fopen(path, "wb");
    if (file == nullptr)
        return nullptr;
    LogSink* sink = static_cast<LogSink*>(calloc(1, sizeof(LogSink)));
    if (sink == nullptr) {
        fclose(file);
        return nullptr;
    }
    sink->appendLine = AppendFileLine;
    sink->context = file;
    return sink;
}

void CloseFileLog(LogSink* sink)
{
    if (sink == nullptr)
        return;
    fclose(static_cast<FILE*>(sink->context));
    free(sink);
}
