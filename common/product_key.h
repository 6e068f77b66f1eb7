// Where the viewer keeps its configuration: the maker's key and the
// product's key below the software key of a registry root. Macros, so that
// key paths below them are spelled as one literal each.
#pragma once

#define SORBIX_MAKER_NAME "Quorvane"
// The product key without its root's software key.
#define SORBIX_PRODUCT_BELOW_SOFTWARE SORBIX_MAKER_NAME "\\Sorbix"
#define SORBIX_MAKER_KEY "SOFTWARE\\" SORBIX_MAKER_NAME
#define SORBIX_PRODUCT_KEY "SOFTWARE\\" SORBIX_PRODUCT_BELOW_SOFTWARE
