#pragma once

// The roles assistive tools see where a widget's Qt class says too little: a tab chip is a page
// tab (selected while its tab is active, pressed to select it) in the tab bar's page tab list,
// and the hint beside the add button is static text. Names are given where each widget is made.
namespace AccessibleRoles {

// Makes the roles known to Qt's accessibility; calling it again does nothing.
void install();

} // namespace AccessibleRoles
