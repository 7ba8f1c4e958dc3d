#pragma once

#include <QByteArray>

// Decodes `bytes` as a configuration document and, when it reads, checks that writing the
// panels and reading them back gives the same panels and the same bytes. Returns false when
// that round trip differs; undecodable input is fine. Shared by the fuzz target and the test
// that replays its corpus.
bool checkConfigurationRoundTrip(const QByteArray &bytes);
