#pragma once

#include <QByteArray>
#include <QString>

#include "core/channels/channel_list.h"

namespace tornavo {

class Texts;

// The message of a load that found no table of one kind; empty for any other result.
QString MissingTableText(LoadResult result, const Texts& texts);

// The message a refused flash image file shows: the table not found and, when the file is
// plainly another of the tool's files, which. Empty for a load the user gave up.
QString FlashFileErrorText(LoadResult result, const QByteArray& file, const Texts& texts);

// A file chosen as a RAM channel table loads as it comes, whatever its length, unless its
// contents show it is another of the tool's files: then false, with the message.
bool CheckRamTableFile(const QByteArray& file, const Texts& texts, QString* error);

}  // namespace tornavo
