#include "config/config_file_io.h"

#include "common/file_io.h"
#include "config/config_file.h"

namespace trivo {

namespace {
// Far beyond any configuration's 73 lines; what lies past it is never a configuration.
constexpr qsizetype kMaxConfigRead = 1024 * 1024;
}  // namespace

OperationResult saveConfiguration(const QString& path, const FormState& state)
{
    const FileError error = writeFileWhole(path, config_file::toFileBytes(state));
    if (error.failed())
        return OperationResult::fileFailure(error);
    return OperationResult::done(kSavedText);
}

ConfigLoad loadConfiguration(const QString& path, const FormState& before)
{
    ConfigLoad load;
    QByteArray bytes;
    // Only the first 73 lines matter: a large file picked by mistake is not read whole.
    const FileError error = readFileStart(path, kMaxConfigRead, bytes, [](const QByteArray& sofar) {
        return config_file::splitLines(sofar).size() > config_file::kLineCount;
    });
    if (error.failed()) {
        static_cast<OperationResult&>(load) = OperationResult::fileFailure(error);
        return load;
    }
    const config_file::ReadResult read = config_file::read(bytes, before);
    if (read.error.kind == config_file::ReadError::WrongHeader) {
        static_cast<OperationResult&>(load) = OperationResult::failure(
            Outcome::FileError, kProgramTitle, kLoadErrorText + QLatin1Char('0'), MsgIcon::Exclamation);
        load.status = kLoadErrorText;
        return load;
    }
    if (!read.ok()) {
        static_cast<OperationResult&>(load) =
            OperationResult::fileFailure({read.error.number, read.error.line, read.error.description});
        return load;
    }
    load.state = read.state;
    load.status = kLoadedText;
    return load;
}

}  // namespace trivo
