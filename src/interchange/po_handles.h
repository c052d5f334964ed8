// Owners of libgettextpo's file and iterator handles.
#pragma once

#include <gettext-po.h>

#include <memory>

namespace ril::interchange {

struct PoFileFree {
    void operator()(struct po_file *file) const { po_file_free(file); }
};
struct PoIteratorFree {
    void operator()(struct po_message_iterator *iterator) const {
        po_message_iterator_free(iterator);
    }
};
using PoFile = std::unique_ptr<struct po_file, PoFileFree>;
using PoIterator = std::unique_ptr<struct po_message_iterator, PoIteratorFree>;

} // namespace ril::interchange
