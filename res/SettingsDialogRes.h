// res/SettingsDialogRes.h: the ids of the settings dialog and its strings,
// shared by the resources and the code that runs the dialog.
#pragma once

#define IDD_SETTINGS 4546

#define IDC_DELIM_SYSTEM 2001
#define IDC_DELIM_COMMA 2002
#define IDC_DELIM_SEMICOLON 2005
#define IDC_DELIM_TAB 2007
#define IDC_DELIM_SPACE 2009
#define IDC_DELIM_OTHER 2011
#define IDC_OTHER_TEXT 2012
#define IDC_USE_CODE_PAGE 2013
#define IDC_UNICODE 2014
#define IDC_CODE_PAGE_LIST 2015
#define IDC_BROWSE 2016
#define IDC_DATABASE_FILE 2017
#define IDC_CSV 2018
#define IDC_FILE 2019
#define IDC_OVERWRITE 2020
#define IDC_SINGLE 2021
#define IDC_WRITE_HEAD 2022
#define IDC_TEXT_FILE 2023
#define IDC_XML_FILE 2024
#define IDC_HEADLINE 2025
#define IDC_NOT_MAP 2026

#define IDS_BROWSE_TITLE 2000
#define IDS_SYSTEM_CODE_PAGE 2004
#define IDS_NO_FILE_NAME 2006
#define IDS_BAD_DELIMITER 2008
#define IDS_SYSTEM_DELIMITER 2010

// Labels and group boxes that the code never reaches.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
