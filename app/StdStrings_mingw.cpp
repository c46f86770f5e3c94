// std::string and std::wstring compiled here rather than taken from the
// static libstdc++. Its string code comes as one object file per character
// type, and binutils' PE linker keeps every function of an object that has
// unwind information (all of .eh_frame is kept), so one call into it brought
// in all of it: about 60 KB of the exe. Instantiated here, link-time
// optimisation keeps only the members that are called. The code is the same
// template from the same headers, so nothing behaves differently.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
