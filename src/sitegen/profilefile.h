#pragma once

#include "shopdescription.h"

#include <QByteArray>

#include <optional>

namespace quorvane {

// The ".pro" profile file: category, e-mail, go-back address, table style,
// font style, the form-action text over as many lines as it has, "[DATA]",
// then one line per item-list entry; every line ends with CR LF.
namespace profilefile {

QByteArray write(const ShopDescription &shop);

// nullopt when the text holds fewer than the five heading lines. The
// form-action lines are joined with CR LF again, so a saved text comes back
// exactly. The entries always start with the header line: a profile whose
// first entry is an item gets the header put before it, so no item is lost.
std::optional<ShopDescription> read(const QByteArray &bytes);

}  // namespace profilefile
}  // namespace quorvane
