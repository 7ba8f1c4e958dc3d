#pragma once

#include <QByteArray>

// Decodes `bytes` as a dragged panel item's payload. Returns false when the decoder accepts
// bytes that are not a JSON object, accepts them without an item or refuses them without a reason,
// or when what it accepts does not survive encoding and a second decoding unchanged. Refused input
// is fine. Shared by the fuzz target and the test that replays its corpus.
bool checkPanelItemDecoding(const QByteArray &bytes);
