#pragma once
// The shared handle to an element of the HTML tree, for code that passes elements around
// without building or reading them (the engine's interface among others).

#include <memory>

namespace quillet {

class RQXMLElement;
class RQXMLChild;
using RQXMLElementRef = std::shared_ptr<RQXMLElement>;

} // namespace quillet
