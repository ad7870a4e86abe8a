#pragma once

namespace Tarnet::Resources {

void ShutdownResources(); // forgets every open resource file (their forks are closed separately)

} // namespace Tarnet::Resources
