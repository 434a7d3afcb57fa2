// Where each request on a connection begins and ends, followed as the bytes arrive, so that a
// request too large to be read is refused before its body is taken in: a declared body over
// the limit as soon as the head is complete, a chunked body once its chunks pass the limit,
// and a head (or a chunk line) that goes on without ending.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

// The longest request head (request line and headers) the service takes.
constexpr qsizetype kMaxRequestHeadBytes = 16 * 1024;

class CRequestFraming {
  public:
    explicit CRequestFraming(int64_t maxBodyBytes) : maxBodyBytes_(maxBodyBytes) {}

    // Takes the connection's next bytes; false once a request is too large (and from then
    // on: nothing more of the connection can be framed).
    bool Feed(QByteArrayView bytes);

  private:
    enum class State { Head, Body, ChunkLine, ChunkData, Trailer, TooLarge };
    // The head in `line_` is complete: where its body goes.
    void StartBody();
    // A chunk-size line in `line_` is complete.
    void StartChunk();

    int64_t maxBodyBytes_;
    State state_ = State::Head;
    QByteArray line_;        // the head so far, or the current chunk or trailer line
    int64_t remaining_ = 0;  // bytes of the body or the chunk (with its CRLF) still to come
    int64_t bodyBytes_ = 0;  // of the chunked body so far
};
