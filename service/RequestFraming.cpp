#include "service/RequestFraming.h"

#include <QList>
#include <algorithm>

namespace {

// A chunk-size or trailer line is short; one that goes on is not a request.
constexpr qsizetype kMaxChunkLineBytes = 1024;

// The value of header `name` (lower case) in `head`, trimmed; null when absent.
QByteArray HeaderValue(const QByteArray& head, const QByteArray& name) {
    const QList<QByteArray> lines = head.split('\n');
    for (qsizetype k = 1; k < lines.size(); ++k) {
        const QByteArray& line = lines[k];
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

}  // namespace

bool CRequestFraming::Feed(QByteArrayView bytes) {
    while (!bytes.isEmpty() && state_ != State::TooLarge) {
        switch (state_) {
            case State::Head: {
                // The end of the head may straddle two reads: look from just before the new
                // bytes.
                const qsizetype from = std::max<qsizetype>(0, line_.size() - 3);
                line_.append(bytes.data(), bytes.size());
                const qsizetype end = line_.indexOf("\r\n\r\n", from);
                if (end < 0) {
                    bytes = {};
                    if (line_.size() > kMaxRequestHeadBytes) {
                        state_ = State::TooLarge;
                    }
                    break;
                }
                const qsizetype rest = line_.size() - (end + 4);
                bytes = bytes.last(std::min<qsizetype>(rest, bytes.size()));
                line_.truncate(end + 2);
                if (line_.size() > kMaxRequestHeadBytes) {
                    state_ = State::TooLarge;
                    break;
                }
                StartBody();
                break;
            }
            case State::Body:
            case State::ChunkData: {
                const qsizetype taken = static_cast<qsizetype>(
                    std::min<int64_t>(remaining_, static_cast<int64_t>(bytes.size())));
                remaining_ -= taken;
                bytes = bytes.sliced(taken);
                if (remaining_ == 0) {
                    state_ = state_ == State::Body ? State::Head : State::ChunkLine;
                }
                break;
            }
            case State::ChunkLine:
            case State::Trailer: {
                const qsizetype newline = bytes.indexOf('\n');
                const qsizetype taken = newline < 0 ? bytes.size() : newline + 1;
                line_.append(bytes.data(), taken);
                bytes = bytes.sliced(taken);
                if (line_.size() > kMaxChunkLineBytes) {
                    state_ = State::TooLarge;
                    break;
                }
                if (newline < 0) {
                    break;
                }
                if (state_ == State::ChunkLine) {
                    StartChunk();
                } else if (line_.trimmed().isEmpty()) {
                    state_ = State::Head;  // the trailer's empty line ends the request
                    line_.clear();
                } else {
                    line_.clear();
                }
                break;
            }
            case State::TooLarge:
                break;
        }
    }
    return state_ != State::TooLarge;
}

void CRequestFraming::StartBody() {
    const QByteArray head = line_.toLower();
    line_.clear();
    if (HeaderValue(head, "transfer-encoding").contains("chunked")) {
        state_ = State::ChunkLine;
        bodyBytes_ = 0;
        return;
    }
    const QByteArray declared = HeaderValue(head, "content-length");
    bool ok = false;
    const qlonglong length = declared.toLongLong(&ok);
    if (declared.isNull()) {
        state_ = State::Head;
    } else if (!ok || length < 0 || length > maxBodyBytes_) {
        // A length that does not fit a number is too large too.
        state_ = State::TooLarge;
    } else {
        remaining_ = length;
        state_ = length > 0 ? State::Body : State::Head;
    }
}

void CRequestFraming::StartChunk() {
    QByteArray size = line_.trimmed();
    line_.clear();
    if (const qsizetype extension = size.indexOf(';'); extension >= 0) {
        size.truncate(extension);
    }
    bool ok = false;
    const qlonglong length = size.trimmed().toLongLong(&ok, 16);
    if (!ok || length < 0 || length > maxBodyBytes_ - bodyBytes_) {
        state_ = State::TooLarge;
        return;
    }
    if (length == 0) {
        state_ = State::Trailer;
        return;
    }
    bodyBytes_ += length;
    remaining_ = length + 2;  // and the CRLF after the chunk's data
    state_ = State::ChunkData;
}
