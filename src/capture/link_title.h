#pragma once
// Web addresses and the titles of the pages behind them: the address test,
// the oEmbed endpoints of the two video services, and the title rules for
// HTML and JSON bodies. Pure text work on values; the network side lives in
// link_fetch.h. Bodies are byte strings handled as UTF-8.

#include <cstdint>
#include <string>

// The text, trimmed of blanks, is one http:// or https:// address (scheme in
// any case) with something after the scheme and no blank inside.
bool is_url(const std::wstring& text);

// The lower-case host of an address: no user part, no port. Empty when the
// text has no "://".
std::wstring url_host(const std::wstring& url);

// The address names a user (user@ or user:password@ before the host). Such
// an address is never fetched: its credentials are the user's, not a title's.
bool url_has_credentials(const std::wstring& url);

// The UTF-8 bytes of the text, every byte outside A-Z a-z 0-9 - . _ ~ written
// as %XX.
std::wstring percent_encode(const std::wstring& text);

// The oEmbed query prefix for an address of YouTube or Rutube (the address,
// percent-encoded, goes after it), or empty for any other address.
std::wstring oembed_endpoint(const std::wstring& url);

// The "title" string member of a JSON body, or empty.
std::wstring json_title(const std::string& body);

// The page's og:title or twitter:title meta content, whichever comes first,
// else its title element, with entities decoded. Empty when none.
std::wstring html_title(const std::string& body);

// Runs of blanks become one space, blanks at the ends go; more than 300
// characters are cut to 300 and an ellipsis.
std::wstring normalize_title(const std::wstring& text);

// The address a history card links to: its own text when that is an address,
// else the fallback, else the page it was copied from (browser copies only).
std::wstring link_url_of(const std::wstring& text, bool is_browser_page, const std::wstring& source_url,
                         const std::wstring& fallback_url);

// The Rutube video page behind a copied preview image, found in its HTML.
std::wstring rutube_page_url(const std::string& html);

// A window title without the browser's or the site's suffix
// ("News - Google Chrome" becomes "News").
std::wstring strip_title_suffix(const std::wstring& title);

// Byte-level helpers of the parsers.
// Four hex digits at pos; 0 when one of them is not a hex digit or the text ends.
std::uint32_t hex4_value(const std::string& text, size_t pos);
