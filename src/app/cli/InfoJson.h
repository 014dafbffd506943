#pragma once

#include <QJsonObject>
#include <QString>

namespace korvel {
class LabelDocument;
}

namespace korvel::cli {

/// The JSON summary that `korvel-cli info` prints.
QJsonObject DocumentInfo(const LabelDocument& document);

} // namespace korvel::cli
