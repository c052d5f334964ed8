#ifndef __NOTEPAD_WIDE_H__
#define __NOTEPAD_WIDE_H__
#pragma once
//********************************************************************
// 			   File: 			
// 			   Created:		
// 			   Last Modify:	
// 			   Author:			Vandrel
// 			   More Author:	
// 			   Special Thanks:	
// 			   Abstract:		
// 			   
// 			   Note:
//*********************************************************************
#define IDT_APP_TITLE 1001//记事本 Lite
#define IDT_MENU_FILE 1002//文件(&F)
#define IDT_MENU_EDIT 1003//编辑(&E)
#define IDT_STATUS_READY 1004//就绪
#define IDT_MSG_SAVE_CHANGES 1005//文件 "&001" 已被修改。__是否保存更改？
#define IDT_MSG_OPEN_FAILED 1006//Cannot open &001: the file is in use by another program.
#define IDT_ABOUT_TEXT 1010//Notepad Lite 1.0__版权所有 (C) 2026 Notepad Lite 团队


#endif //headers_wide/notepad_wide.h
