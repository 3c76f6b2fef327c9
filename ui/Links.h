// SPDX-License-Identifier: MIT
// The maker's addresses the windows link to. They are fixed when the program is configured (the cache
// variables BRELMONT_SITE_URL, BRELMONT_SUPPORT_EMAIL and BRELMONT_PARTNER_URL) and read only here.
#pragma once

#include "ui/widgets/UrlLabel.h"

#include <QString>

namespace brelmont {

QString MakerSiteUrl();
QString SupportEmail();
QString PartnerSiteUrl();

// What a link label shows for a web address: the address without its scheme and trailing "/".
QString LinkCaption(const QString& url);

// The label type whose prefix the address already carries, so opening it never adds a second scheme.
TUrlLabel::TUrlType WebUrlType(const QString& url);

// Points a URL label at a web address, with the matching type.
void SetWebLink(TUrlLabel& label, const QString& url);

} // namespace brelmont
