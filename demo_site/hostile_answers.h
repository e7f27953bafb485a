// Answers of a site that means harm: pages and pictures too large, framing that lies, encodings
// nobody asked for, endless redirects, enormous or crawling header blocks and connections that
// close half-way. Reached as /hostile/<mode>[?...], or for every listing page or picture when the
// site is started with SiteOptions::hostileListings / hostilePictures (see demo_site.h).
//
// Modes (query values in brackets, with their defaults):
//   page, picture                  the content itself (see below), answered plainly
//   huge-page [bytes=209715200]    a listing page of that size: filler, then the picture list
//                                  with three thumbnails near its end
//   many-thumbnails [count=1000000]  a listing page listing that many thumbnails
//   long-thumbnail [bytes=65536]   a listing page whose second thumbnail address is that long
//   nul-bytes                      a listing page with a zero byte after its second thumbnail
//   huge-picture [bytes=524288000] a JPEG-headed picture of that size
//   short-body                     Content-Length twice what is sent, then the connection closes
//   false-chunk                    a chunked body whose first chunk is shorter than its size line
//                                  says, then the connection closes
//   gzip                           the content gzip-compressed, with Content-Encoding: gzip
//   redirect-loop                  302 to the same address, for ever
//   redirect-chain [n=50]          302 to n-1, ..., n=0 answers the content
//   huge-headers [bytes=10485760]  a header block of that size (filler lines), then the content
//   many-cookies [count=100000]    that many Set-Cookie lines, then the content
//   slow-headers [interval=10000, by=byte|line, lines=0]
//                                  the head (with that many extra lines) one byte, or one line,
//                                  per interval ms, then the content
//   close-in-headers               half a header block, then the connection closes
// "The content" is a listing page with the three hostile thumbnails, or a small JPEG for
// pictures (kind=picture in the query, or any hostile picture of a site started that way).
#pragma once

#include <string>

#include <httplib.h>

#include "demo_site/endpoints.h"

namespace lumeno::demo {

// The site path of hostile thumbnail k (0-based): /uploads/2024/01/02/smallhostileK0123456789.jpg.
std::string HostileThumbnailPath(int k);

// Fills `res` (or writes raw bytes on the connection) for `mode`; false for an unknown mode.
bool RespondHostile(const std::string& mode, const QueryList& query, bool picture,
                    EndpointContext& context, httplib::Response& res);

}  // namespace lumeno::demo
