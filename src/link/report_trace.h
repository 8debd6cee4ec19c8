#pragma once
// A trace file of every report that crosses the link: "> " and the output report, or "< " and the input
// report, report ID first, each byte as two upper-case hex digits separated by single blanks.
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cerrno>
#include <functional>
#include <memory>
#include <mutex>
#include <unistd.h>

#include "link/exchanger.h"

namespace trivo {

inline QString traceLine(bool output, const uint8_t* data, std::size_t length)
{
    QString line;
    line.reserve(2 + static_cast<int>(length) * 3);
    line += output ? QLatin1String("> ") : QLatin1String("< ");
    for (std::size_t i = 0; i < length; ++i) {
        if (i)
            line += QLatin1Char(' ');
        line += byteText(data[i]);
    }
    return line;
}

class ReportTrace {
public:
    // Appends to path; false (with errorString) when the file cannot be opened for writing.
    bool open(const QString& path)
    {
        file_ = std::make_unique<QFile>(path);
        failed_ = false;
        // A pipe or a terminal (a live viewer) has no end to append at, and Qt warns when asked to seek it.
        const QFileInfo info(path);
        const QIODevice::OpenMode append = info.exists() && !info.isFile() ? QIODevice::NotOpen : QIODevice::Append;
        return file_->open(QIODevice::WriteOnly | append | QIODevice::Text);
    }
    QString errorString() const { return file_ ? file_->errorString() : QString(); }

    // Several links may share one trace (a production line's places, each on its own thread).
    void attach(Exchanger& link) { link.setReportObserver(observer()); }
    // What a link calls with every report (on whatever thread it exchanges on).
    std::function<void(bool, const uint8_t*, std::size_t)> observer()
    {
        return [this](bool output, const uint8_t* data, std::size_t length) {
            std::lock_guard lock(mutex_);
            if (!file_ || !file_->isOpen() || failed_)
                return;
            const QByteArray line = traceLine(output, data, length).toLatin1() + '\n';
            // Flushed per report so that a trace survives a crash or an interrupted command.
            if (file_->write(line) != line.size() || !file_->flush())
                failed_ = true;
            if (output && stop_ && ++outputs_ == stopAfter_)
                stop_();
        };
    }

    // Calls `stop` once the n-th output report is traced, on the thread that wrote it (the tests of what a
    // program killed at a given exchange leaves behind).
    void stopAfter(int outputs, std::function<void()> stop)
    {
        std::lock_guard lock(mutex_);
        stopAfter_ = outputs;
        stop_ = std::move(stop);
    }

    // Syncs the trace to disk and closes it: false (with errorString) when any report could not be written.
    bool finish()
    {
        std::lock_guard lock(mutex_);
        if (!file_ || !file_->isOpen())
            return !failed_;
        // A trace read live through a pipe or a terminal cannot be synced (EINVAL), and need not be.
        const bool synced = file_->flush() && (::fsync(file_->handle()) == 0 || errno == EINVAL);
        file_->close();
        return synced && !failed_ && file_->error() == QFileDevice::NoError;
    }

private:
    std::mutex mutex_;
    std::unique_ptr<QFile> file_;
    bool failed_ = false;
    int outputs_ = 0;
    int stopAfter_ = 0;
    std::function<void()> stop_;
};

}  // namespace trivo
