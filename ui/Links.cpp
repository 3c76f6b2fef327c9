// SPDX-License-Identifier: MIT
#include "ui/Links.h"

namespace brelmont {

QString MakerSiteUrl() {
    return QStringLiteral(BRELMONT_SITE_URL);
}

QString SupportEmail() {
    return QStringLiteral(BRELMONT_SUPPORT_EMAIL);
}

QString PartnerSiteUrl() {
    return QStringLiteral(BRELMONT_PARTNER_URL);
}

QString LinkCaption(const QString& url) {
    QString caption = url;
    const qsizetype scheme = caption.indexOf(QStringLiteral("://"));
    if (scheme >= 0) {
        caption.remove(0, scheme + 3);
    }
    while (caption.endsWith('/')) {
        caption.chop(1);
    }
    return caption;
}

TUrlLabel::TUrlType WebUrlType(const QString& url) {
    return url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive) ? TUrlLabel::urlHTTPS
                                                                           : TUrlLabel::urlHTTP;
}

void SetWebLink(TUrlLabel& label, const QString& url) {
    label.setURL(url);
    label.setURLType(WebUrlType(url));
}

} // namespace brelmont
