#pragma once

// Building against libxml2 versions whose callback types differ.
namespace quintaro::xml {

// The second parameter of a handler type `void (*)(void*, T)`: xmlStructuredErrorFunc takes an
// xmlErrorPtr up to libxml2 2.11 and a const xmlError* from 2.12 on.
template <typename Handler> struct HandlerArgument;
template <typename Result, typename Context, typename Argument>
struct HandlerArgument<Result (*)(Context, Argument)> {
    using type = Argument;
};

} // namespace quintaro::xml
