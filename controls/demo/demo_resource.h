// Resource ids of the controls demonstration program.
#pragma once

#define IDD_CONTROLS_DEMO 100

#define IDC_DEMO_GRID 1000
#define IDC_DEMO_NOTICE 1001
#define IDC_DEMO_PROGRESS 1014
