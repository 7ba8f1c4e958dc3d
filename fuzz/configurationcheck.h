#pragma once

#include <QByteArray>

// Decodes `bytes` as a configuration document. Returns false when the decoder accepts text that
// Qt's own JSON parser rejects as malformed, or when the round trip of what it accepts differs:
// writing the panels and reading them back must give the same panels and the same bytes.
// Undecodable input is fine. Shared by the fuzz target and the test that replays its corpus.
bool checkConfigurationDecoding(const QByteArray &bytes);
