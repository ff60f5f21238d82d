// Compiled as if it were a source file of one folder's library, this file includes one header
// of another folder: whether it compiles shows which headers that folder can see.
#include PROBE_HEADER
